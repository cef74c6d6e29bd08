// System integration on the host platform: shortcuts, registry entries, shared components.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "config/untCzcionki.h"
#include "config/untInstalTeksty.h"
#include "engine/untBledy.h"
#include "engine/untInstalFunkcje.h"
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

  // The uninstall entry under `root`: the uninstaller of the target, the display name (UTF-8).
  void ExpectUninstallEntry(TKorzen root, const std::string& displayName) const {
    EXPECT_EQ(Text(root, kDeinstalacja, "UninstallString"),
              "C:\\Program Files\\Orvalis\\DeInstalator.exe");
    const auto name = env.host.RegistryValue(root, kDeinstalacja, "DisplayName");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->wideUtf8, displayName);
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
  EXPECT_EQ(link->description, "Translator rosyjsko-polski");
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
  // The description reaches the ANSI interface in the Russian code page, not the storage form.
  const auto link = std::find_if(
      env.host.Links().begin(), env.host.Links().end(),
      [&](const TSkrotHost& l) { return l.linkPath == group + u"Русско-польский переводчик.lnk"; });
  ASSERT_NE(link, env.host.Links().end());
  EXPECT_EQ(CodePageToUtf8(link->description, TStronaKodowa::Cp1251), "Русско-польский переводчик");
}

TEST_F(SystemIntegration, RussianInterfaceInAPolishLocaleHasNoDescription) {
  options.language = kJezykRosyjski;
  CreateShortcuts(options, observer);
  ASSERT_FALSE(env.host.Links().empty());
  for (const TSkrotHost& link : env.host.Links()) {
    EXPECT_EQ(link.description, "");
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
  EXPECT_TRUE(EnsureSystemComponent("comctl32.ocx", "D:\\", 5, 1));
  EXPECT_EQ(ReadHostFile(system / "comctl32.ocx"), "ocx from the CD");
}

TEST_F(SharedComponent, NoSourceFileIsAFailureAndNoSystemDirectoryASuccess) {
  EXPECT_FALSE(EnsureSystemComponent("comctl32.ocx", "D:\\", 5, 1));
  env.host.SetSystemDirectory("");
  EXPECT_TRUE(EnsureSystemComponent("comctl32.ocx", "D:\\", 5, 1));
}

TEST(PathHelpers, DirectoryOfPathAndTrailingBackslash) {
  EXPECT_EQ(DirectoryOfPath("C:\\a\\b.exe"), "C:\\a\\");
  EXPECT_EQ(DirectoryOfPath("C:b.exe"), "C:\\");
  EXPECT_EQ(DirectoryOfPath("b.exe"), "");
  EXPECT_EQ(WithTrailingBackslash(std::string("C:\\a")), "C:\\a\\");
  EXPECT_EQ(WithTrailingBackslash(std::string("C:\\a\\")), "C:\\a\\");
  EXPECT_EQ(WithTrailingBackslash(std::string()), "");
}

}  // namespace
}  // namespace orvala
