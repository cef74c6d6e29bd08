// System integration on the host platform: shortcuts, registry entries, shared components.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <set>

#include "config/untCzcionki.h"
#include "config/untInstalTeksty.h"
#include "engine/untBledy.h"
#include "engine/untInstalFunkcje.h"
#include "platform/untPlatformaAwarie.h"
#include "textutil/untKodowanie.h"
#include "untSrodowiskoInstalacji.h"

namespace orvala {
namespace {

using platform::TKorzen;
using platform::TSkrotHost;
using testy::ReadHostFile;
using testy::TObserwatorTestowy;
using testy::TSrodowiskoInstalacji;
using testy::WriteHostFile;

constexpr char kPakiet[] = "SOFTWARE\\Vertal\\Orvala";
constexpr char kDeinstalacja[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvala";

const char* const kProgramy[] = {"Orvatr.exe",  "DuzevIv.exe",  "SlZewRu.exe",      "SlZewPl.exe",
                                 "TrIntRu.exe", "TrPlikRu.exe", "DeInstalator.exe", "Trans.chm",
                                 "Sl_Zew.chm",  "rus_gram.chm"};

class SystemIntegration : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* program : kProgramy) {
      WriteHostFile(env.Target() / program, program);
    }
  }

  std::vector<TWideString> LinksIn(const TWideString& folder) const {
    std::vector<TWideString> names;
    for (const TSkrotHost& link : env.host.Links()) {
      if (link.linkPath.starts_with(folder) &&
          link.linkPath.find(u'\\', folder.size()) == TWideString::npos) {
        names.push_back(link.linkPath.substr(folder.size()));
      }
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string Text(TKorzen root, const std::string& key, const std::string& name) const {
    const auto value = env.host.RegistryValue(root, key, name);
    return value ? value->text : "<none>";
  }

  // The uninstall entry under `root` for the default target and 2,300,000 required bytes:
  // every value with its type, the display name in UTF-8.
  void ExpectUninstallEntry(TKorzen root, const std::string& displayName) const {
    using TTyp = platform::TWartoscRejestru::TTyp;
    struct TWartosc {
      const char* name;
      TTyp type;
      std::string text;
      std::int32_t number;
    };
    const TWartosc expected[] = {
        {"UninstallString", TTyp::String, "\"C:\\Program Files\\Orvalis\\DeInstalator.exe\"", 0},
        {"DisplayVersion", TTyp::String, "1.0", 0},
        {"Publisher", TTyp::String, "Vertal", 0},
        {"DisplayIcon", TTyp::String, "C:\\Program Files\\Orvalis\\Orvatr.exe", 0},
        {"InstallLocation", TTyp::String, "C:\\Program Files\\Orvalis", 0},
        {"EstimatedSize", TTyp::Dword, "", 2247},  // 2,300,000 / 1024 rounded up
        {"NoModify", TTyp::Dword, "", 1},
        {"NoRepair", TTyp::Dword, "", 1},
    };
    for (const TWartosc& want : expected) {
      const auto value = env.host.RegistryValue(root, kDeinstalacja, want.name);
      ASSERT_TRUE(value) << want.name;
      EXPECT_EQ(value->type, want.type) << want.name;
      EXPECT_EQ(value->text, want.text) << want.name;
      EXPECT_EQ(value->number, want.number) << want.name;
    }
    const auto name = env.host.RegistryValue(root, kDeinstalacja, "DisplayName");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->type, platform::TWartoscRejestru::TTyp::String);
    EXPECT_EQ(name->text, displayName);
  }

  TSrodowiskoInstalacji env;
  TOpcjeInstalacji options = env.Options();
  TStanInstalacji state;
  TObserwatorTestowy observer{state};
};

const TWideString kGrupa = u"C:\\Users\\jan\\Menu Start\\Programy\\Orvala Pakiet\\";
const TWideString kPulpit = u"C:\\Users\\jan\\Pulpit\\";

TEST_F(SystemIntegration, AllOptionsMakeTheGroupAndTheFiveDesktopShortcuts) {
  CreateShortcuts(options, observer);
  EXPECT_EQ(observer.stages, std::vector<TWideString>{GetText(0, 143, false)});
  const std::vector<TWideString> group = LinksIn(kGrupa);
  EXPECT_EQ(group.size(), 10u);
  EXPECT_NE(std::find(group.begin(), group.end(), u"Słownik rosyjsko-polski.lnk"), group.end());
  EXPECT_NE(std::find(group.begin(), group.end(), u"Wstęp do gramatyki rosyjskiej.lnk"),
            group.end());
  const std::vector<TWideString> desktop = LinksIn(kPulpit);
  const std::vector<TWideString> expectedDesktop = {
      u"Rosyjsko-polski tłumacz stron internetowych.lnk", u"Słownik polsko-rosyjski.lnk",
      u"Słownik rosyjsko-polski.lnk", u"Translator polsko-rosyjski.lnk",
      u"Translator rosyjsko-polski.lnk"};
  EXPECT_EQ(desktop, expectedDesktop);
  // One message pump per shortcut row of the language.
  EXPECT_EQ(observer.messages, 10);

  const auto link =
      std::find_if(env.host.Links().begin(), env.host.Links().end(), [](const TSkrotHost& l) {
        return l.linkPath == kPulpit + u"Translator rosyjsko-polski.lnk";
      });
  ASSERT_NE(link, env.host.Links().end());
  EXPECT_EQ(link->target, "C:\\Program Files\\Orvalis\\Orvatr.exe");
  EXPECT_EQ(link->workingDirectory, "C:\\Program Files\\Orvalis\\");
  EXPECT_EQ(link->description, u"Translator rosyjsko-polski");
}

TEST_F(SystemIntegration, GroupOffDesktopOnGivesOnlyTheDesktopShortcuts) {
  options.createGroup = false;
  CreateShortcuts(options, observer);
  EXPECT_EQ(env.host.Links().size(), 5u);
  EXPECT_EQ(LinksIn(kPulpit).size(), 5u);
  EXPECT_FALSE(std::filesystem::exists(env.c / "Users/jan/Menu Start/Programy/Orvala Pakiet"));
}

TEST_F(SystemIntegration, DesktopOptionsChooseTheirRows) {
  options.createGroup = false;
  options.desktopTranslators = false;
  CreateShortcuts(options, observer);
  const std::vector<TWideString> dictionaries = {u"Słownik polsko-rosyjski.lnk",
                                                 u"Słownik rosyjsko-polski.lnk"};
  EXPECT_EQ(LinksIn(kPulpit), dictionaries);
  EXPECT_EQ(env.host.Links().size(), 2u);
}

TEST_F(SystemIntegration, NoShortcutOptionMakesNoShortcut) {
  options.createGroup = false;
  options.desktopDictionaries = false;
  options.desktopTranslators = false;
  CreateShortcuts(options, observer);
  EXPECT_TRUE(env.host.Links().empty());
}

TEST_F(SystemIntegration, AllUsersPutsTheLinksInTheCommonFolders) {
  options.allUsers = true;
  CreateShortcuts(options, observer);
  EXPECT_EQ(LinksIn(u"C:\\ProgramData\\Menu Start\\Programy\\Orvala Pakiet\\").size(), 10u);
  EXPECT_EQ(LinksIn(u"C:\\Users\\Public\\Pulpit\\").size(), 5u);
  EXPECT_TRUE(LinksIn(kPulpit).empty());
}

TEST_F(SystemIntegration, AMissingProgramOrFolderGetsNoShortcutAndLinksAreOverwritten) {
  std::filesystem::remove(env.Target() / "SlZewRu.exe");
  env.host.SetSpecialFolder(platform::kFolderDesktop, u"");
  CreateShortcuts(options, observer);
  EXPECT_EQ(LinksIn(kGrupa).size(), 9u);
  EXPECT_EQ(env.host.Links().size(), 9u);
  CreateShortcuts(options, observer);  // the same links again replace the first ones
  EXPECT_EQ(env.host.Links().size(), 9u);
}

TEST_F(SystemIntegration, RussianInterfaceUsesRussianTitlesAndGroup) {
  options.language = kJezykRosyjski;
  env.host.SetThreadLocale(1049);
  CreateShortcuts(options, observer);
  const TWideString group = u"C:\\Users\\jan\\Menu Start\\Programy\\Орвала Пакиет\\";
  const std::vector<TWideString> links = LinksIn(group);
  EXPECT_EQ(links.size(), 9u);  // the grammar help has no Russian row
  EXPECT_NE(std::find(links.begin(), links.end(), u"Русско-польский переводчик.lnk"), links.end());
  // The description is the Russian title in UTF-16, not the storage form.
  const auto link = std::find_if(
      env.host.Links().begin(), env.host.Links().end(),
      [&](const TSkrotHost& l) { return l.linkPath == group + u"Русско-польский переводчик.lnk"; });
  ASSERT_NE(link, env.host.Links().end());
  EXPECT_EQ(link->description, u"Русско-польский переводчик");
}

TEST_F(SystemIntegration, RussianInterfaceInAPolishLocaleHasNoDescription) {
  options.language = kJezykRosyjski;
  CreateShortcuts(options, observer);
  ASSERT_FALSE(env.host.Links().empty());
  for (const TSkrotHost& link : env.host.Links()) {
    EXPECT_EQ(link.description, u"");
  }
}

TEST(EffectiveShortcutLanguage, FollowsTheLocaleWithoutUnicode) {
  TSrodowiskoInstalacji env;
  EXPECT_EQ(EffectiveShortcutLanguage(kJezykRosyjski), kJezykRosyjski);  // NT
  SetTextProcessState(false, kJezykPolski);
  EXPECT_EQ(EffectiveShortcutLanguage(kJezykRosyjski), kJezykPolski);
  env.host.SetThreadLocale(1049);
  EXPECT_EQ(EffectiveShortcutLanguage(kJezykPolski), kJezykRosyjski);
  EXPECT_EQ(EffectiveShortcutLanguage(kJezykRosyjski), kJezykRosyjski);
  env.host.SetThreadLocale(1031);
  EXPECT_EQ(EffectiveShortcutLanguage(kJezykRosyjski), kJezykPolski);
  EXPECT_EQ(EffectiveShortcutLanguage(kJezykNiemiecki), kJezykNiemiecki);
}

TEST_F(SystemIntegration, RegistryPackageKeyInBothHivesUninstallInTheUsers) {
  options.language = kJezykRosyjski;
  WriteRegistry(options, observer);
  EXPECT_EQ(observer.stages, std::vector<TWideString>{GetText(6, 144, false)});
  for (const TKorzen root : {TKorzen::CurrentUser, TKorzen::LocalMachine}) {
    EXPECT_EQ(Text(root, kPakiet, "Katalog"), "C:\\Program Files\\Orvalis");
    EXPECT_EQ(Text(root, kPakiet, "CD"), "D:\\");
    EXPECT_EQ(Text(root, kPakiet, "Wersja"), "1.0");
    const auto language = env.host.RegistryValue(root, kPakiet, "JezykInterfejsu");
    ASSERT_TRUE(language);
    EXPECT_EQ(language->number, 6);
    const auto allUsers = env.host.RegistryValue(root, kPakiet, "AllUsers");
    ASSERT_TRUE(allUsers);
    EXPECT_EQ(allUsers->number, 0);
  }
  ExpectUninstallEntry(TKorzen::CurrentUser, "Orvala Pakiet");  // Polish locale: Polish name
  EXPECT_FALSE(env.host.KeyExists(TKorzen::LocalMachine, kDeinstalacja));
  EXPECT_EQ(observer.messages, 1);
}

TEST_F(SystemIntegration, AllUsersWritesTheUninstallEntryOnlyForTheMachine) {
  options.allUsers = true;
  options.sourceDirectory = "E:";  // given a trailing backslash for "CD"
  env.host.SetThreadLocale(1049);
  WriteRegistry(options, observer);
  EXPECT_FALSE(env.host.KeyExists(TKorzen::CurrentUser, kDeinstalacja));
  ExpectUninstallEntry(TKorzen::LocalMachine, "Орвала Пакиет");  // Russian locale
  EXPECT_EQ(Text(TKorzen::CurrentUser, kPakiet, "CD"), "E:\\");
  EXPECT_EQ(env.host.RegistryValue(TKorzen::LocalMachine, kPakiet, "AllUsers")->number, 1);
}

// A failed write anywhere in the uninstall entry ends the pass of its hive there; the other
// hive's pass and the component keys are still written, and nothing is raised.
TEST_F(SystemIntegration, AFailedWriteInTheUninstallEntryEndsItsPassOnly) {
  constexpr int kWartosciPakietu = 5;
  constexpr int kWartosciWpisu = 9;
  for (const bool allUsers : {false, true}) {
    for (int k = 1; k <= kWartosciWpisu; ++k) {
      SCOPED_TRACE("all users " + std::to_string(allUsers) + ", entry value " + std::to_string(k));
      TSrodowiskoInstalacji machine;
      platform::TPlatformaAwarie faults(machine.host);
      platform::TZasiegPlatformy scope(faults);
      TOpcjeInstalacji o = machine.Options();
      o.allUsers = allUsers;
      const TKorzen chosen = allUsers ? TKorzen::LocalMachine : TKorzen::CurrentUser;
      const TKorzen other = allUsers ? TKorzen::CurrentUser : TKorzen::LocalMachine;
      // The machine hive's pass comes second: for all users both package passes come first.
      faults.FailNth(platform::TOperacja::RegistryWrite, (allUsers ? 2 : 1) * kWartosciPakietu + k);
      EXPECT_NO_THROW(WriteRegistry(o, observer));
      EXPECT_EQ(faults.Calls(platform::TOperacja::RegistryWrite),
                2 * kWartosciPakietu + k + 8);  // then the eight component keys
      EXPECT_TRUE(machine.host.KeyExists(chosen, kDeinstalacja));
      EXPECT_FALSE(machine.host.RegistryValue(chosen, kDeinstalacja, "NoRepair"));
      EXPECT_FALSE(machine.host.KeyExists(other, kDeinstalacja));
      EXPECT_TRUE(machine.host.RegistryValue(other, kPakiet, "AllUsers"));
      EXPECT_TRUE(machine.host.RegistryValue(chosen, kPakiet, "AllUsers"));
      EXPECT_TRUE(machine.host.RegistryValue(
          TKorzen::CurrentUser, std::string(kPakiet) + "\\DuzevIvik", "JezykInterfejsu"));
    }
  }
}

TEST(EstimatedSize, KilobytesRoundedUpWithinADword) {
  // A part of a kilobyte counts as one; a size beyond the DWORD's signed range stays at its top
  // instead of wrapping.
  constexpr std::int64_t kPonadZakres = std::int64_t{0x7FFFFFFF} * 1024 + 1;
  const std::pair<std::int64_t, std::int32_t> cases[] = {
      {0, 0}, {-1, 0}, {1, 1}, {1024, 1}, {1025, 2}, {kPonadZakres, 0x7FFFFFFF}};
  for (const auto& [bytes, kilobytes] : cases) {
    EXPECT_EQ(EstimatedSizeKilobytes(bytes), kilobytes) << bytes;
  }
}

// Jan, an administrator, typed his password at the elevation prompt of Ewa, who is logged on:
// her shortcuts, her uninstall entry and her per-user keys, nothing in Jan's profile.
TEST_F(SystemIntegration, ElevatedByAnotherAccountEverythingPerUserGoesToTheUserLoggedOn) {
  const TWideString kPulpitEwy = u"C:\\Users\\ewa\\Pulpit\\";
  const TWideString kGrupaEwy = u"C:\\Users\\ewa\\Menu Start\\Programy\\Orvala Pakiet\\";
  std::filesystem::create_directories(env.c / "Users" / "ewa" / "Pulpit");
  env.host.SetShellUser("ewa");
  env.host.SetSpecialFolderOfUser("ewa", platform::kFolderDesktop, u"C:\\Users\\ewa\\Pulpit");
  env.host.SetSpecialFolderOfUser("ewa", platform::kFolderPrograms,
                                  u"C:\\Users\\ewa\\Menu Start\\Programy");
  ASSERT_TRUE(env.host.ServeLoggedOnUser());
  CreateShortcuts(options, observer);
  WriteRegistry(options, observer);
  EXPECT_EQ(LinksIn(kPulpitEwy).size(), 5u);
  EXPECT_EQ(LinksIn(kGrupaEwy).size(), 10u);
  EXPECT_TRUE(LinksIn(kPulpit).empty());
  EXPECT_TRUE(LinksIn(kGrupa).empty());
  ExpectUninstallEntry(TKorzen::CurrentUser, "Orvala Pakiet");
  EXPECT_TRUE(env.host.KeyExists(TKorzen::CurrentUser, std::string(kPakiet) + "\\RusPol"));
  for (const char* key : {kPakiet, kDeinstalacja}) {
    EXPECT_FALSE(env.host.KeyExistsForProgramAccount(key)) << key;
  }
  EXPECT_EQ(Text(TKorzen::LocalMachine, kPakiet, "Katalog"), "C:\\Program Files\\Orvalis");
}

TEST_F(SystemIntegration, ComponentKeysGetTheLanguageAndFontsOnlyWhenNotArial) {
  const std::vector<std::string> components = {"RusPol",         "PolRus",      "RusPolInternet",
                                               "PolRusInternet", "SlZewRusPol", "SlZewPolRus",
                                               "DuzevIvik"};
  WriteRegistry(options, observer);
  for (const std::string& component : components) {
    const std::string key = std::string(kPakiet) + "\\" + component;
    const auto language = env.host.RegistryValue(TKorzen::CurrentUser, key, "JezykInterfejsu");
    ASSERT_TRUE(language) << key;
    EXPECT_EQ(language->number, 0);
    EXPECT_EQ(Text(TKorzen::CurrentUser, key, "CzcionkaEdycji"), "<none>");
    EXPECT_FALSE(env.host.KeyExists(TKorzen::LocalMachine, key));
  }
  SetInterfaceFontFace(kCzcionkaTahoma);
  WriteRegistry(options, observer);  // twice in a row, DuzevIvik twice each time: no error
  for (const std::string& component : components) {
    const std::string key = std::string(kPakiet) + "\\" + component;
    for (const char* value : {"CzcionkaInterfejsuName", "CzcionkaSlownikaName", "CzcionkaEdycji"}) {
      EXPECT_EQ(Text(TKorzen::CurrentUser, key, value), "Tahoma") << key << " " << value;
    }
  }
}

class SharedComponent : public ::testing::Test {
 protected:
  TSrodowiskoInstalacji env;
  std::filesystem::path system = env.c / "WINDOWS" / "system32";
};

TEST_F(SharedComponent, AnOlderCopyIsLeftInPlace) {
  WriteHostFile(env.d / "comctl32.dll", "from the CD");
  WriteHostFile(system / "comctl32.dll", "old");
  env.host.SetFileVersion("C:\\WINDOWS\\system32\\comctl32.dll", "4.71.1712.3");
  EXPECT_FALSE(EnsureSystemComponent("comctl32.dll", "D:\\", 4, 72));
  EXPECT_EQ(ReadHostFile(system / "comctl32.dll"), "old");
}

TEST_F(SharedComponent, ARecentCopyIsEnoughAndAMissingOneIsCopied) {
  WriteHostFile(system / "comctl32.dll", "new");
  env.host.SetFileVersion("C:\\WINDOWS\\system32\\comctl32.dll", "5.81.4704.1100");
  EXPECT_TRUE(EnsureSystemComponent("comctl32.dll", "D:\\", 4, 72));
  WriteHostFile(env.d / "comctl32.ocx", "ocx from the CD");
  // Files on a real CD are read-only: the copy in the system folder must not stay so.
  ASSERT_TRUE(env.host.SetFileAttributes("D:\\comctl32.ocx", platform::kAttrReadOnly));
  EXPECT_TRUE(EnsureSystemComponent("comctl32.ocx", "D:\\", 5, 1));
  EXPECT_EQ(ReadHostFile(system / "comctl32.ocx"), "ocx from the CD");
  const auto copied = env.host.FindEntry("C:\\WINDOWS\\system32\\comctl32.ocx");
  ASSERT_TRUE(copied);
  EXPECT_EQ(copied->attributes & platform::kAttrReadOnly, 0u);
}

TEST_F(SharedComponent, NoSourceFileIsAFailureAndNoSystemDirectoryASuccess) {
  EXPECT_FALSE(EnsureSystemComponent("comctl32.ocx", "D:\\", 5, 1));
  env.host.SetSystemDirectory("");
  EXPECT_TRUE(EnsureSystemComponent("comctl32.ocx", "D:\\", 5, 1));
}

}  // namespace
}  // namespace orvala
