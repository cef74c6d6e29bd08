// The installation run with a CD that carries Polish and Cyrillic names side by side, on a
// Polish (1250), a Russian (1251) and a UTF-8 (65001) system: every name passes whatever the
// code page lacks, into the copy, the labels, the rollback of a cancel and the backups of a
// reinstall.
#include <gtest/gtest.h>

#include <algorithm>

#include "config/untInstalTeksty.h"
#include "engine/untPrzebiegInstalacji.h"
#include "textutil/untKodowanie.h"
#include "untSrodowiskoInstalacji.h"

namespace orvala {
namespace {

namespace fs = std::filesystem;
using testy::ReadHostFile;
using testy::TObserwatorTestowy;
using testy::TSrodowiskoInstalacji;
using testy::WriteHostFile;

constexpr TStronaKodowa kStrony[] = {TStronaKodowa::Cp1250, TStronaKodowa::Cp1251,
                                     TStronaKodowa::Utf8};

// Names of the CD below its root (UTF-8), and their contents.
const std::vector<std::pair<std::string, std::string>> kPliki = {
    {"Dane/Słowniki/Łacina.dat", "latin"},
    {"Pomoc/Грамматика.chm", "grammar"},
    {"Pomoc/Словарь/Ёлка.txt", "tree"},
};

fs::path HostName(const fs::path& root, const std::string& utf8) {
  return root / fs::path(std::u8string(utf8.begin(), utf8.end()));
}

struct TPrzebiegNazw {
  TSrodowiskoInstalacji env;
  TStanInstalacji state;
  TObserwatorTestowy observer{state};
  explicit TPrzebiegNazw(TStronaKodowa cp) {
    env.host.SetAnsiCodePage(cp);
    env.MakeDemoCd();
    for (const auto& [name, content] : kPliki) {
      WriteHostFile(HostName(env.d, name), content);
    }
  }
  // As the options page leaves it: the target exists, and is recorded when it made it.
  TWynikInstalacji Run() {
    const TOpcjeInstalacji options = env.Options();
    if (!fs::exists(env.Target())) {
      fs::create_directories(env.Target());
      state.journal.DirectoryCreated(options.targetDirectory);
    }
    return RunInstallation(options, state, observer);
  }
};

TEST(InstallationWithNamesOfEveryScript, CopiedUnderTheirNamesAndShownInTheLabels) {
  for (const TStronaKodowa cp : kStrony) {
    SCOPED_TRACE(static_cast<int>(cp));
    TPrzebiegNazw run(cp);
    ASSERT_EQ(run.Run(), TWynikInstalacji::Success);
    for (const auto& [name, content] : kPliki) {
      EXPECT_EQ(ReadHostFile(HostName(run.env.Target(), name)), content) << name;
    }
    const TWideString shown =
        FormatText(GetText(kJezykPolski, 146, false),
                   {u"C:\\Program Files\\Orvalis\\Pomoc\\Грамматика.chm"}, false, kJezykPolski);
    EXPECT_TRUE(std::any_of(run.observer.filePairs.begin(), run.observer.filePairs.end(),
                            [&](const auto& pair) { return pair.second == shown; }));
  }
}

TEST(InstallationWithNamesOfEveryScript, ACancelRemovesEveryFileAndFolderItMade) {
  for (const TStronaKodowa cp : kStrony) {
    SCOPED_TRACE(static_cast<int>(cp));
    TPrzebiegNazw run(cp);
    // Close pressed once the Cyrillic file is copied: the answer comes at the next check point.
    run.observer.onMessages = [&](int, TStanInstalacji& s) {
      if (s.running && fs::exists(HostName(run.env.Target(), "Pomoc/Грамматика.chm"))) {
        s.cancelRequested = true;
      }
    };
    ASSERT_EQ(run.Run(), TWynikInstalacji::Cancelled);
    EXPECT_FALSE(fs::exists(run.env.Target()));
  }
}

TEST(InstallationWithNamesOfEveryScript, AReinstallKeepsTheOldFilesAsideAndACancelPutsThemBack) {
  for (const TStronaKodowa cp : kStrony) {
    SCOPED_TRACE(static_cast<int>(cp));
    TPrzebiegNazw run(cp);
    // The earlier installation spelled the names in the other case.
    WriteHostFile(HostName(run.env.Target(), "Pomoc/ГРАММАТИКА.CHM"), "old grammar");
    WriteHostFile(HostName(run.env.Target(), "Dane/SŁOWNIKI/łacina.dat"), "old latin");
    run.observer.onMessages = [&](int, TStanInstalacji& s) {
      if (s.running && fs::exists(HostName(run.env.Target(), "Pomoc/Словарь/Ёлка.txt"))) {
        s.cancelRequested = true;
      }
    };
    ASSERT_EQ(run.Run(), TWynikInstalacji::Cancelled);
    EXPECT_EQ(ReadHostFile(HostName(run.env.Target(), "Pomoc/ГРАММАТИКА.CHM")), "old grammar");
    EXPECT_EQ(ReadHostFile(HostName(run.env.Target(), "Dane/SŁOWNIKI/łacina.dat")), "old latin");
    // Under its old spelling only, and no backup left (a listing: the host may ignore case).
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(run.env.Target() / "Pomoc")) {
      const std::u8string name = entry.path().filename().u8string();
      names.emplace_back(name.begin(), name.end());
    }
    EXPECT_EQ(names, std::vector<std::string>{"ГРАММАТИКА.CHM"});
  }
}

}  // namespace
}  // namespace orvala
