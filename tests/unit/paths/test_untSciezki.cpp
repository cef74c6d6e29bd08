// Paths and system folders over the host stand-in.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "config/untInstalStale.h"
#include "engine/untSciezki.h"
#include "platform/host/untPlatformaHost.h"
#include "textutil/untKodowanie.h"
#include "untKatalogTymczasowy.h"
#include "untObrazPE.h"

namespace orvala {
namespace {

namespace fs = std::filesystem;

// One rule for a folder's trailing backslash, whoever joins a name to it, and for a file's
// folder.
TEST(FolderRules, TrailingBackslashAddedOnceRemovedAll) {
  struct {
    const char* path;
    const char* with;
    const char* without;
  } const cases[] = {
      {"", "", ""},  // no folder: never the drive's root
      {"C:\\a", "C:\\a\\", "C:\\a"},
      {"C:\\a\\", "C:\\a\\", "C:\\a"},
      {"C:\\a\\\\", "C:\\a\\\\", "C:\\a"},
      {"D:\\", "D:\\", "D:"},
      {"\\\\srv\\share\\", "\\\\srv\\share\\", "\\\\srv\\share"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WithTrailingBackslash(std::string(c.path)), c.with) << c.path;
    EXPECT_EQ(WithoutTrailingBackslash(c.path), c.without) << c.path;
    EXPECT_EQ(WithTrailingBackslash(Utf8ToUtf16(c.path)), Utf8ToUtf16(c.with)) << c.path;
  }
  EXPECT_EQ(DirectoryOfPath("C:\\a\\b.exe"), "C:\\a\\");
  EXPECT_EQ(DirectoryOfPath("C:b.exe"), "C:\\");
  EXPECT_EQ(DirectoryOfPath("b.exe"), "");
}
using platform::kAttrHidden;
using platform::kAttrSystem;
using platform::kKeyAllAccess;
using platform::TKorzen;

class TSciezkiTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root_ / "cd");
    host_.MapDrive('D', root_ / "cd", platform::TTypNapedu::CdRom);
    host_.SetModuleFileName("D:\\Instalator.EXE");
  }
  // A file of `size` bytes on the CD.
  void File(const std::string& relative, std::size_t size) {
    const fs::path p = root_ / "cd" / relative;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << std::string(size, 'x');
  }
  void Key(TKorzen root, const std::string& path, const std::string& name,
           const std::string& value) {
    auto key = host_.OpenKey(root, path, kKeyAllAccess, true);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->WriteString(name, value));
  }
  platform::testy::TKatalogTymczasowy folder_{"orvala-sciezki"};
  const fs::path& root_ = folder_.Path();
  platform::TPlatformaHost host_;
  platform::TZasiegPlatformy scope_{host_};
};

constexpr const char* kFolderyPowloki =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

TEST_F(TSciezkiTest, SpecialFolderGetsOneTrailingBackslashAndNeverALoneOne) {
  host_.SetSpecialFolder(platform::kFolderDesktop, u"C:\\Użytkownik\\Pulpit");
  EXPECT_EQ(SpecialFolderPath(platform::kFolderDesktop), u"C:\\Użytkownik\\Pulpit\\");
  host_.SetSpecialFolder(platform::kFolderPrograms, u"C:\\Programy\\");
  EXPECT_EQ(SpecialFolderPath(platform::kFolderPrograms), u"C:\\Programy\\");
  EXPECT_EQ(SpecialFolderPath(platform::kFolderCommonDesktop), u"");
}

TEST_F(TSciezkiTest, SystemDirectoriesPassThroughWithinTheLimit) {
  host_.SetWindowsDirectory("C:\\WINNT");
  host_.SetSystemDirectory("C:\\WINNT\\system32");
  host_.SetTempDirectory("C:\\TEMP\\");
  EXPECT_EQ(WindowsDirectory(), "C:\\WINNT");
  EXPECT_EQ(SystemDirectory(), "C:\\WINNT\\system32");
  EXPECT_EQ(TempDirectory(), "C:\\TEMP\\");
  host_.SetTempDirectory("C:\\" + std::string(300, 't') + "\\");
  EXPECT_EQ(TempDirectory(), "");
}

TEST_F(TSciezkiTest, ProgramFilesAndProgramsFoldersFromTheRegistry) {
  EXPECT_EQ(ProgramFilesDirectory(), "");
  Key(TKorzen::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
      "C:\\Program Files");
  EXPECT_EQ(ProgramFilesDirectory(), "C:\\Program Files");

  Key(TKorzen::CurrentUser, kFolderyPowloki, "Programs", "C:\\Ja\\Programy");
  EXPECT_EQ(ProgramsFolderFromRegistry(true), "C:\\Ja\\Programy");  // no common value
  Key(TKorzen::LocalMachine, kFolderyPowloki, "Common Programs", "C:\\Wszyscy\\Programy");
  EXPECT_EQ(ProgramsFolderFromRegistry(true), "C:\\Wszyscy\\Programy");
  EXPECT_EQ(ProgramsFolderFromRegistry(false), "C:\\Ja\\Programy");
  Key(TKorzen::LocalMachine, kFolderyPowloki, "Common Programs", "");
  EXPECT_EQ(ProgramsFolderFromRegistry(true), "C:\\Ja\\Programy");
}

TEST_F(TSciezkiTest, DriveNumbers) {
  EXPECT_EQ(DriveNumber(""), 0);
  EXPECT_EQ(DriveNumber("c:\\Program Files"), 3);
  EXPECT_EQ(DriveNumber("d:"), 4);
  EXPECT_EQ(DriveNumber("D:\\"), 4);
  EXPECT_EQ(DriveNumber("A:\\"), 1);
}

TEST_F(TSciezkiTest, FreeSpaceIsMeasuredAtTheNearestExistingFolder) {
  fs::create_directories(root_ / "cd" / "Program Files" / "Vertal");
  const struct {
    const char* target;
    const char* measured;
  } cases[] = {
      {"D:\\Program Files\\Vertal", "D:\\Program Files\\Vertal\\"},
      {"d:\\Program Files\\Orvalis\\Nowy", "d:\\Program Files\\"},
      {"D:\\Program Files\\\\", "D:\\Program Files\\"},
      {"D:\\Nowy\\Katalog", "D:\\"},
      {"D:", "D:\\"},
      {"\\\\serwer\\udzial\\Orvalis", "\\\\serwer\\udzial\\"},
      {"\\\\serwer\\udzial", "\\\\serwer\\udzial\\"},
      {"Orvalis", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NearestExistingFolder(c.target), c.measured) << c.target;
  }
}

TEST_F(TSciezkiTest, ExclusionListInItsOrder) {
  const std::string fixed =
      "<.><..><umowapol.txt><umowaang.txt><umowadeu.txt><umowafr.txt><instalator.exe>"
      "<instaluj.exe><instalka.exe><autorun.inf><comctl32.dll><comctl32.ocx><divev.ttf>"
      "<SAPI51tts.exe><SyntezaMowy.exe><start.exe>";
  const std::string own = "<pold.so><rusd.so><polm.so><rusm.so><orvatr.exe>";
  const std::string dictionaries = "<slzewru.exe><slzewpl.exe><ruspol.sz><polrus.sz>";
  host_.SetModuleFileName("E:\\Pobrane\\Setup-Orvala.EXE");
  EXPECT_EQ(BuildExclusionList(10, true), fixed + own + "<setup-orvala.exe>");
  EXPECT_EQ(BuildExclusionList(10, false), fixed + own + "<setup-orvala.exe>" + dictionaries);
}

TEST_F(TSciezkiTest, ExcludedNamesCompareAsTheFileSystemComparesThem) {
  struct {
    const char* name;
    const char* list;
    bool excluded;
  } const cases[] = {
      {"UMOWAPOL.TXT", "<.><..><umowapol.txt>", true},
      {"..", "<.><..><umowapol.txt>", true},
      {"umowa", "<.><..><umowapol.txt>", false},
      {"", "<.><..>", false},
      {"", "<a><>", true},
      {"b", "<a<b>", true},  // a stray "<" starts the next item
      {"b", "<b", false},
      {"SŁOWNIK.SZ", "<słownik.sz>", true},  // UTF-8 names, Unicode case
      {"Инструкция.TXT", "<инструкция.txt>", true},
      {"\xC7\x8A", "<\xC7\x9A>", false},  // two CD files, one name by the Windows-1250 table
      {"\xC7\x8A", "<\xC7\x8C>", true},   // upper and lower case of one letter
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsNameExcluded(c.name, c.list), c.excluded) << c.name << " in " << c.list;
  }
  // The program's own name with letters outside ASCII stays UTF-8 in the list.
  host_.SetModuleFileName("E:\\Pobrane\\Instalator-Ąę.EXE");
  EXPECT_TRUE(IsNameExcluded("INSTALATOR-ĄĘ.exe", BuildExclusionList(10, true)));
}

TEST_F(TSciezkiTest, TreeSizeSkipsExcludedNamesAtEveryDepth) {
  File("DuzevIv.exe", 1000);
  File("UMOWAPOL.TXT", 50000);  // excluded whatever its case
  File("slzewru.exe", 300);     // a dictionary
  File("Dane/a.bin", 20);
  File("Dane/Pod/b.bin", 4);
  File("Dane/Pod/Autorun.INF", 7000);       // excluded below the root as well
  File("instaluj.exe/wewnatrz.bin", 9000);  // a folder named like an excluded file
  File("instaluj.exe/glebiej/c.bin", 9000);
  File("ukryty.bin", 2);
  host_.SetAttributes("D:\\ukryty.bin", kAttrHidden | kAttrSystem);
  const std::string with = BuildExclusionList(10, true);
  const std::string without = BuildExclusionList(10, false);
  EXPECT_EQ(DirectoryTreeSize("D:\\", with), 1000u + 300 + 20 + 4 + 2);
  EXPECT_EQ(DirectoryTreeSize("D:", without), 1000u + 20 + 4 + 2);
  EXPECT_EQ(DirectoryTreeSize("D:\\Dane", with), 24u);
  EXPECT_EQ(DirectoryTreeSize("D:\\Dane\\", with), 24u);
  EXPECT_EQ(DirectoryTreeSize("D:\\Brak", with), 0u);
  EXPECT_EQ(DirectoryTreeSize("", with), 0u);
  // The running program itself is left out by its own name.
  File("Instalator.exe", 123456);
  EXPECT_EQ(DirectoryTreeSize("D:\\", with), 1000u + 300 + 20 + 4 + 2);
}

TEST_F(TSciezkiTest, TreeSizeCountsBeyondFourGigabytes) {
  File("duzy.bin", 0);
  fs::resize_file(root_ / "cd" / "duzy.bin", (std::uint64_t{6} << 30));
  File("maly.bin", 1);
  EXPECT_EQ(DirectoryTreeSize("D:\\", BuildExclusionList(10, true)), (std::uint64_t{6} << 30) + 1);
}

TEST_F(TSciezkiTest, FileVersionComparisons) {
  const auto check = [&](const std::string& version, int major, int minor) {
    host_.SetFileVersion("C:\\comctl32.dll", version);
    return FileVersionAtLeast("C:\\comctl32.dll", major, minor);
  };
  EXPECT_TRUE(check("5.81.4704.1100", 5, 1));
  EXPECT_FALSE(check("4.71", 4, 72));
  EXPECT_TRUE(check("4.72", 4, 72));
  EXPECT_TRUE(check("4.72.3110.1", 4, 72));
  EXPECT_FALSE(check("5, 81, 0, 0", 5, 1));  // commas: no dot, so major is 0
  EXPECT_TRUE(check("5, 81, 0, 0", 0, 0));
  EXPECT_TRUE(check("6", 5, 99));
  EXPECT_FALSE(check("", 0, 1));
  EXPECT_FALSE(check("x.y", 0, 1));
  EXPECT_TRUE(check("6.0", 5, 99));
  EXPECT_FALSE(FileVersionAtLeast("C:\\brak.dll", 0, 0));
}

TEST_F(TSciezkiTest, FileVersionFromAVersionResource) {
  const std::vector<std::uint8_t> dll = platform::testy::ResourceOnlyDll({});
  std::ofstream(root_ / "cd" / "comctl32.ocx", std::ios::binary)
      .write(reinterpret_cast<const char*>(dll.data()), static_cast<std::streamsize>(dll.size()));
  File("tekst.txt", 10);
  EXPECT_TRUE(FileVersionAtLeast("D:\\COMCTL32.OCX", 5, 1));
  EXPECT_TRUE(FileVersionAtLeast("D:\\comctl32.ocx", 5, 81));
  EXPECT_FALSE(FileVersionAtLeast("D:\\comctl32.ocx", 5, 82));
  EXPECT_FALSE(FileVersionAtLeast("D:\\tekst.txt", 0, 0));
}

TEST_F(TSciezkiTest, SourceDirectoryNeedsAProgramAndTheLicence) {
  EXPECT_FALSE(IsSourceDirectory(""));
  EXPECT_FALSE(IsSourceDirectory("D:\\"));
  File("duzeviv2.exe", 1);
  EXPECT_FALSE(IsSourceDirectory("D:\\"));
  File("umowapol.txt", 1);
  EXPECT_TRUE(IsSourceDirectory("D:\\"));
  File("Inny/DuzevIv.exe", 1);
  EXPECT_FALSE(IsSourceDirectory("D:\\Inny\\"));
  File("Inny/UmowaPol.txt", 1);
  EXPECT_TRUE(IsSourceDirectory("D:\\Inny\\"));
}

TEST_F(TSciezkiTest, InstallerDriveRootAndProgramDirectory) {
  host_.SetModuleFileName("d:\\setup\\instalator.exe");
  EXPECT_EQ(InstallerDriveRoot(), "D:\\");
  EXPECT_EQ(ProgramDirectory(), "d:\\setup\\");
  host_.SetModuleFileName("e:\\Instalator.exe");
  EXPECT_EQ(InstallerDriveRoot(), "E:\\");
  EXPECT_EQ(ProgramDirectory(), "e:\\");
}

}  // namespace
}  // namespace orvala
