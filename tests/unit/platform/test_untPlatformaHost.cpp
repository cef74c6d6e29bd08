// The host stand-in's own settings and inspection, and the robustness of its PE reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#include "platform/host/untPlatformaHost.h"
#include "platform/host/untWersjaPE.h"
#include "textutil/untKodowanie.h"
#include "untKatalogTymczasowy.h"
#include "untObrazPE.h"

namespace orvala::platform {
namespace {

namespace fs = std::filesystem;

class TPlatformaHostTest : public testing::Test {
 protected:
  void SetUp() override { host_.MapDrive('c', root_); }
  std::string HostText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  testy::TKatalogTymczasowy folder_{"orvala-host"};
  const fs::path& root_ = folder_.Path();
  TPlatformaHost host_;
};

TEST_F(TPlatformaHostTest, NamesAreTheHostsUtf8NamesOnEveryCodePage) {
  for (const auto cp : {TStronaKodowa::Cp1250, TStronaKodowa::Cp1251, TStronaKodowa::Utf8}) {
    host_.SetAnsiCodePage(cp);
    auto file = host_.CreateWrite("C:\\Żółw Жук.txt");
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->Close());
    EXPECT_TRUE(fs::exists(root_ / fs::path(u8"Żółw Жук.txt")));
    EXPECT_TRUE(host_.FileExists("C:\\żÓŁW жУК.TXT"));
    std::vector<TWpisKatalogu> entries;
    ASSERT_TRUE(host_.ListDirectory("C:\\", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "Żółw Жук.txt");
    ASSERT_TRUE(host_.DeleteFile("C:\\Żółw Жук.txt"));
  }
  // The code page decides the target check only (65001 holds everything).
  host_.SetAnsiCodePage(TStronaKodowa::Cp1251);
  EXPECT_TRUE(host_.AnsiCodePageHolds("C:\\Программы"));
  EXPECT_FALSE(host_.AnsiCodePageHolds("C:\\Łódź"));
  host_.SetAnsiCodePage(TStronaKodowa::Utf8);
  EXPECT_TRUE(host_.AnsiCodePageHolds("C:\\Łódź\\Программы"));
}

// A system outside the NT family speaks its ANSI code page: a path it cannot hold fails, and a
// name it cannot hold is listed with '?' (what FindFirstFileA gives there).
TEST_F(TPlatformaHostTest, NonNtPlatformKeepsToTheAnsiCodePage) {
  std::ofstream(root_ / fs::path(u8"Łódź.txt")) << "x";
  host_.SetAnsiCodePage(TStronaKodowa::Cp1251);
  host_.SetNtPlatform(false);
  EXPECT_FALSE(host_.FileExists("C:\\Łódź.txt"));
  EXPECT_EQ(host_.CreateWrite("C:\\Łódź2.txt"), nullptr);
  EXPECT_TRUE(host_.CreateDirectory("C:\\Программы"));
  std::vector<TWpisKatalogu> entries;
  ASSERT_TRUE(host_.ListDirectory("C:\\", entries));
  std::vector<std::string> names;
  for (const TWpisKatalogu& e : entries) {
    names.push_back(e.name);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"??d?.txt", "Программы"}));
  std::string narrow;
  EXPECT_TRUE(host_.NarrowPath(u"C:\\Программы", narrow));
  EXPECT_EQ(narrow, "C:\\Программы");
  EXPECT_FALSE(host_.NarrowPath(u"C:\\Łódź", narrow));
  EXPECT_EQ(narrow, "C:\\??d?");
}

TEST_F(TPlatformaHostTest, AttributesFollowRenamesAndVanishWithTheFile) {
  ASSERT_TRUE(host_.CreateDirectory("C:\\kat"));
  auto file = host_.CreateWrite("C:\\kat\\a.txt");
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(file->Close());
  host_.SetAttributes("C:\\kat\\A.TXT", kAttrHidden | kAttrSystem | kAttrDirectory);
  ASSERT_TRUE(host_.RenameFile("C:\\kat", "C:\\nowy"));
  auto entry = host_.FindEntry("C:\\nowy\\a.txt");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->attributes, kAttrArchive | kAttrHidden | kAttrSystem);  // no directory bit
  ASSERT_TRUE(host_.DeleteFile("C:\\nowy\\a.txt"));
  file = host_.CreateWrite("C:\\nowy\\a.txt");
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(file->Close());
  EXPECT_EQ(host_.FindEntry("C:\\nowy\\a.txt")->attributes, kAttrArchive);
}

TEST_F(TPlatformaHostTest, RenameChangingOnlyTheCaseTakesTheNewSpelling) {
  auto file = host_.CreateWrite("C:\\male.txt");
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(file->Close());
  ASSERT_TRUE(host_.RenameFile("C:\\male.txt", "C:\\MALE.TXT"));
  EXPECT_EQ(host_.FindEntry("C:\\male.txt")->name, "MALE.TXT");
}

TEST_F(TPlatformaHostTest, DrivesFreeSpaceAndSystemValuesAreSettings) {
  host_.MapDrive('E', root_, TTypNapedu::Removable);
  host_.SetFreeSpace('E', 12345);
  EXPECT_EQ(host_.FreeSpace("E:\\"), 12345);
  EXPECT_EQ(host_.FreeSpace("e:\\Dane\\"), 12345);
  host_.SetFreeSpace('e', std::nullopt);
  EXPECT_FALSE(host_.FreeSpace("E:\\"));
  EXPECT_TRUE(host_.FreeSpace("C:\\"));  // the host file system's
  EXPECT_TRUE(host_.FreeSpace(""));      // the current drive is C:
  EXPECT_EQ(host_.DriveType("e:"), TTypNapedu::Removable);
  EXPECT_EQ(host_.DriveType("E:\\x"), TTypNapedu::NoRootDir);
  EXPECT_EQ(host_.LogicalDrives(), (std::vector<std::string>{"C:\\", "E:\\"}));

  host_.SetSpecialFolder(kFolderPrograms, u"C:\\Menu Start\\Programy");
  EXPECT_EQ(host_.SpecialFolder(kFolderPrograms), u"C:\\Menu Start\\Programy");
  EXPECT_TRUE(host_.SpecialFolder(kFolderCommonPrograms).empty());
  host_.SetModuleFileName("D:\\instalator.exe");
  host_.SetThreadLocale(1049);
  host_.SetNtPlatform(false);
  EXPECT_EQ(host_.ModuleFileName(), "D:\\instalator.exe");
  EXPECT_EQ(host_.ThreadLocale(), 1049u);
  EXPECT_FALSE(host_.IsNtPlatform());
}

TEST_F(TPlatformaHostTest, ResourcesVersionsAndFontsAreLookedUpWithoutRegardToCase) {
  host_.SetResource("Orvala_A", {1, 2, 3});
  std::vector<std::uint8_t> data;
  ASSERT_TRUE(host_.LoadResource("ORVALA_a", data));
  EXPECT_EQ(data, (std::vector<std::uint8_t>{1, 2, 3}));
  host_.SetFileVersion("C:\\Windows\\System32\\COMCTL32.DLL", "5.81.4704.1100");
  std::string version;
  ASSERT_TRUE(host_.FileVersionString("c:\\windows\\system32\\comctl32.dll", version));
  EXPECT_EQ(version, "5.81.4704.1100");
  host_.SetFontCharsets("Arial", {0, 238, 204});
  EXPECT_EQ(host_.FontCharsets("ARIAL"), (std::vector<int>{0, 238, 204}));
  EXPECT_TRUE(host_.FontCharsets("Tahoma").empty());
}

TEST_F(TPlatformaHostTest, ShellLinksAreRecordedAndWritten) {
  ASSERT_TRUE(host_.CreateShellLink("C:\\Orvala\\orvatr.exe", "C:\\Orvala", u"C:\\Tłumacz.lnk",
                                    u"Tłumacz"));
  ASSERT_TRUE(
      host_.CreateShellLink("C:\\Orvala\\nowy.exe", "C:\\Orvala", u"c:\\TŁUMACZ.LNK", u"Nowy"));
  ASSERT_EQ(host_.Links().size(), 1u);  // the second one replaced the first
  EXPECT_EQ(host_.Links()[0].target, "C:\\Orvala\\nowy.exe");
  EXPECT_EQ(host_.Links()[0].workingDirectory, "C:\\Orvala");
  EXPECT_EQ(host_.Links()[0].description, u"Nowy");
  const std::string text = HostText(root_ / fs::path(u8"Tłumacz.lnk"));
  EXPECT_NE(text.find("target=C:\\Orvala\\nowy.exe"), std::string::npos);
}

TEST_F(TPlatformaHostTest, RegistryInspection) {
  auto key = host_.OpenKey(TKorzen::LocalMachine, "SOFTWARE\\Vertal\\Orvala", kKeyAllAccess, true);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->WriteWideString("Grupa", u"Орвала"));
  ASSERT_TRUE(key->WriteInteger("Wersja", 3));
  EXPECT_TRUE(host_.KeyExists(TKorzen::LocalMachine, "software\\vertal"));
  EXPECT_FALSE(host_.KeyExists(TKorzen::CurrentUser, "software\\vertal"));
  const auto group =
      host_.RegistryValue(TKorzen::LocalMachine, "Software\\Vertal\\Orvala", "grupa");
  ASSERT_TRUE(group);
  EXPECT_EQ(group->type, TWartoscRejestru::TTyp::String);
  EXPECT_EQ(group->text, "Орвала");
  EXPECT_EQ(group->text, "Орвала");
  EXPECT_EQ(
      host_.RegistryValue(TKorzen::LocalMachine, "Software\\Vertal\\Orvala", "WERSJA")->number, 3);
  host_.DeleteKey(TKorzen::LocalMachine, "Software\\Vertal");
  EXPECT_FALSE(host_.KeyExists(TKorzen::LocalMachine, "Software\\Vertal\\Orvala"));
  EXPECT_TRUE(host_.KeyExists(TKorzen::LocalMachine, "Software"));
  EXPECT_FALSE(key->WriteInteger("Wersja", 4));
}

TEST_F(TPlatformaHostTest, UnmappedDrivesAndBadPathsFail) {
  EXPECT_FALSE(host_.HostPath("Q:\\x"));
  EXPECT_FALSE(host_.HostPath("relative\\x"));
  EXPECT_FALSE(host_.HostPath("C:relative"));
  EXPECT_FALSE(host_.HostPath("\\\\server\\share\\x"));
  EXPECT_FALSE(host_.HostPath("C:\\a*b"));
  EXPECT_EQ(host_.HostPath("C:\\a\\..\\..\\b"), root_ / "b");  // never above the root
  EXPECT_EQ(host_.CreateWrite("Q:\\x.txt"), nullptr);
}

// The PE reader stays inside its buffer whatever the image: every truncation and a sweep of
// byte changes over a valid image either answer or fail, never read outside.
TEST(TWersjaPE, MalformedImagesNeverReadOutside) {
  const std::vector<std::uint8_t> image = testy::ResourceOnlyDll({});
  const auto info = host::VersionResource(image);
  ASSERT_TRUE(info);
  EXPECT_EQ(host::FirstTranslationFileVersion(*info), "5.81.4704.1100");
  for (std::size_t n = 0; n < image.size(); n += 7) {
    const std::vector<std::uint8_t> cut(image.begin(), image.begin() + static_cast<long>(n));
    const auto part = host::VersionResource(cut);
    if (part) {
      host::FirstTranslationFileVersion(*part);
    }
  }
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::uint8_t> bad = image;
    for (int i = 0; i < 3; ++i) {
      bad[random() % bad.size()] = static_cast<std::uint8_t>(random());
    }
    if (const auto part = host::VersionResource(bad)) {
      host::FirstTranslationFileVersion(*part);
    }
  }
  // The version block alone, truncated at every length: its length field no longer fits.
  const std::vector<std::uint8_t> block = testy::VersionInfoBlock({});
  for (std::size_t n = 0; n < block.size(); ++n) {
    EXPECT_FALSE(host::FirstTranslationFileVersion(
        std::vector<std::uint8_t>(block.begin(), block.begin() + static_cast<long>(n))))
        << n;
  }
}

}  // namespace
}  // namespace orvala::platform
