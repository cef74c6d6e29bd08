// Conformance: drives, versions, links, and the fault-injecting wrapper over the platform.
#include <algorithm>

#include "platform/untPlatformaAwarie.h"
#include "textutil/untKodowanie.h"
#include "untObrazPE.h"
#include "untSrodowiskoZgodnosci.h"

namespace orvala::platform::testy {
namespace {

bool Contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

TEST_F(TZgodnosc, DrivesAndTheirTypes) {
  const std::vector<std::string> drives = P().LogicalDrives();
  const std::string root = Env().Scratch().substr(0, 3);
  EXPECT_TRUE(Contains(drives, root));
  EXPECT_EQ(P().DriveType(root), TTypNapedu::Fixed);
  std::string missing;
  for (char c = 'Y'; c > 'E' && missing.empty(); --c) {
    if (!Contains(drives, std::string(1, c) + ":\\")) {
      missing = std::string(1, c) + ":\\";
    }
  }
  ASSERT_FALSE(missing.empty());
  EXPECT_EQ(P().DriveType(missing), TTypNapedu::NoRootDir);
  EXPECT_FALSE(P().DirectoryExists(missing));
  EXPECT_FALSE(P().FileExists(missing + "x.txt"));
  const std::optional<std::int64_t> free = P().FreeSpace(root);
  ASSERT_TRUE(free);
  EXPECT_GT(*free, 0);
  EXPECT_FALSE(P().FreeSpace(missing));
  // A folder on the drive is measured itself (a volume may be mounted there).
  EXPECT_TRUE(P().FreeSpace(Env().Scratch() + "\\"));
}

TEST_F(TZgodnosc, CdRomDrive) {
  const std::string cd = Env().CdRoot();
  if (cd.empty()) {
    GTEST_SKIP() << "no CD-ROM drive configured (ORVALA_TEST_CD)";
  }
  EXPECT_TRUE(Contains(P().LogicalDrives(), cd));
  EXPECT_EQ(P().DriveType(cd), TTypNapedu::CdRom);
  EXPECT_TRUE(P().DirectoryExists(cd));
  std::vector<TWpisKatalogu> entries;
  ASSERT_TRUE(P().ListDirectory(cd, entries));
  for (const TWpisKatalogu& e : entries) {
    EXPECT_NE(e.name, ".");
    EXPECT_NE(e.name, "..");
  }
}

TEST_F(TZgodnosc, GeneratedVersionResourceReadsAlike) {
  const std::vector<std::uint8_t> dll = ResourceOnlyDll({});
  Write(In("wersja.dll"), std::string(dll.begin(), dll.end()));
  std::string version;
  ASSERT_TRUE(P().FileVersionString(In("WERSJA.DLL"), version));
  EXPECT_EQ(version, "5.81.4704.1100");

  TOpisWersji commas;
  commas.fileVersion = "5, 81, 0, 0";
  commas.language = 0x0409;
  commas.codePage = 0x04B0;
  commas.tableKey = "040904b0";  // lower-case key: the lookup ignores case
  const std::vector<std::uint8_t> other = ResourceOnlyDll(commas);
  Write(In("inna.dll"), std::string(other.begin(), other.end()));
  ASSERT_TRUE(P().FileVersionString(In("inna.dll"), version));
  EXPECT_EQ(version, "5, 81, 0, 0");
}

TEST_F(TZgodnosc, NoVersionWithoutAResourceOrATranslation) {
  Write(In("tekst.txt"), "not a program");
  std::string version = "unchanged";
  EXPECT_FALSE(P().FileVersionString(In("tekst.txt"), version));
  EXPECT_FALSE(P().FileVersionString(In("brak.dll"), version));
  TOpisWersji noTranslation;
  noTranslation.withTranslation = false;
  const std::vector<std::uint8_t> dll = ResourceOnlyDll(noTranslation);
  Write(In("bez.dll"), std::string(dll.begin(), dll.end()));
  EXPECT_FALSE(P().FileVersionString(In("bez.dll"), version));
  EXPECT_EQ(version, "unchanged");
}

TEST_F(TZgodnosc, CompiledVersionResource) {
  const std::optional<TSrodowisko::TPlikWersji> file = Env().CompiledVersionFile();
  if (!file) {
    GTEST_SKIP() << "no resource compiler output in this build";
  }
  std::string version;
  ASSERT_TRUE(P().FileVersionString(file->path, version)) << file->path;
  EXPECT_EQ(version, file->fileVersion);
}

TEST_F(TZgodnosc, ShellLinkAppearsAtItsPath) {
  const TWideString scratch = Utf8ToUtf16(CodePageToUtf8(Env().Scratch(), TStronaKodowa::Cp1250));
  Write(In("program.exe"), "MZ");
  ASSERT_TRUE(
      P().CreateShellLink(In("program.exe"), Env().Scratch(), scratch + u"\\Tłumacz.lnk", u"Opis"));
  EXPECT_TRUE(P().FileExistsWide(scratch + u"\\TŁUMACZ.LNK"));
  // A link into a folder that does not exist is refused.
  EXPECT_FALSE(
      P().CreateShellLink(In("program.exe"), Env().Scratch(), scratch + u"\\brak\\x.lnk", u"Opis"));
}

// Paths as texts, in whatever ANSI code page the system has: every byte comes back from its
// UTF-16 form unchanged, that form names the same file as the 8-bit path, and a character no
// 8-bit code page holds is refused and stands as '?'.
// Paths widen and narrow without loss, compare as the file system compares names, and only
// the target check asks the ANSI code page.
TEST_F(TZgodnosc, PathsWidenNarrowAndCompareWhateverTheCodePage) {
  for (const char* path : {"C:\\Zażółć\\gęślą", "C:\\Программы\\Орвала", "C:\\中文\\x"}) {
    std::string back;
    EXPECT_TRUE(P().NarrowPath(P().WidenPath(path), back)) << path;
    EXPECT_EQ(back, path);
  }
  EXPECT_EQ(P().WidenPath("C:\\Жук"), u"C:\\Жук");
  std::string narrow;
  EXPECT_FALSE(P().NarrowPath(TWideString(u"C:\\") + char16_t(0xD800), narrow));
  const std::string name = In("Łódź Жук 中.txt");
  Write(name, "x");
  EXPECT_TRUE(P().FileExistsWide(P().WidenPath(name)));
  EXPECT_TRUE(P().SamePath("C:\\ŁÓDŹ\\Ч\\ΣΟΦΊΑ", "c:\\łódź\\ч\\σοφία"));
  EXPECT_FALSE(P().SamePath("C:\\Ч", "C:\\Ш"));
  EXPECT_FALSE(P().SamePath("C:\\a", "C:\\a\\b"));
  if (Env().Names1250()) {
    EXPECT_TRUE(P().AnsiCodePageHolds("C:\\Zażółć\\gęślą"));
    EXPECT_FALSE(P().AnsiCodePageHolds("C:\\Программы"));
  }
  EXPECT_TRUE(P().AnsiCodePageHolds("C:\\Program Files\\Orvala"));
}

// The owner of a run's record: the running process is alive, a process that never ran is not;
// a volume is flushed only through a drive letter.
TEST_F(TZgodnosc, TheRunningProcessIsAliveAndAVolumeNeedsADrive) {
  const std::string self = P().ProcessIdentity();
  EXPECT_FALSE(self.empty());
  EXPECT_EQ(P().ProcessIdentity(), self);
  EXPECT_TRUE(P().ProcessAlive(self));
  EXPECT_FALSE(P().ProcessAlive("no process"));
  EXPECT_FALSE(P().FlushVolume("\\\\serwer\\udzial\\plik.txt"));
}

TEST_F(TZgodnosc, SystemValuesAreThere) {
  EXPECT_FALSE(P().WindowsDirectory().empty());
  EXPECT_FALSE(P().SystemDirectory().empty());
  const std::string temp = P().TempDirectory();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_FALSE(P().ModuleFileName().empty());
  EXPECT_NE(P().ThreadLocale(), 0u);
  std::vector<std::uint8_t> data;
  EXPECT_FALSE(P().LoadResource("NO_SUCH_RESOURCE", data));
  EXPECT_TRUE(P().SpecialFolder(0x7F).empty());  // a folder number no system has
}

// The wrapper over this implementation: a short write leaves exactly the part written.
TEST_F(TZgodnosc, ShortWriteThroughTheWrapperLeavesThePartWritten) {
  TPlatformaAwarie faults(P());
  faults.FailNth(TOperacja::Write, 2);
  std::unique_ptr<TPlikPlatformy> file = faults.CreateWrite(In("krotki.bin"));
  ASSERT_NE(file, nullptr);
  const std::string block(1000, 'b');
  std::size_t written = 0;
  EXPECT_TRUE(file->Write(block.data(), block.size(), written));
  EXPECT_EQ(written, 1000u);
  EXPECT_FALSE(file->Write(block.data(), block.size(), written));
  EXPECT_EQ(written, 500u);
  EXPECT_TRUE(file->Close());
  EXPECT_EQ(faults.Calls(TOperacja::Write), 2);
  const std::optional<TWpisKatalogu> entry = P().FindEntry(In("krotki.bin"));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->size, 1500u);
}

}  // namespace
}  // namespace orvala::platform::testy
