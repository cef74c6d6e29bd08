// The installation run over a previous installation: the files it replaces are kept aside, a
// cancel gives them back (names, bytes and attributes), a finished or failed run deletes them,
// and a file that cannot be kept is never touched.
#include <gtest/gtest.h>

#include <map>

#include "engine/untPrzebiegInstalacji.h"
#include "platform/untPlatformaAwarie.h"
#include "untSrodowiskoInstalacji.h"

namespace orvala {
namespace {

namespace fs = std::filesystem;
using platform::kAttrHidden;
using platform::kAttrReadOnly;
using platform::TOperacja;
using platform::TPlatformaAwarie;
using platform::TZasiegPlatformy;
using testy::ReadHostFile;
using testy::TObserwatorTestowy;
using testy::TSrodowiskoInstalacji;
using testy::WriteHostFile;

const std::string kCel = "C:\\Program Files\\Orvalis";
const TWideString kEtykietaProgramu = u"Do: C:\\Program Files\\Orvalis\\Orvatr.exe";

// Every entry under a folder: its path below the folder, attributes and (files) bytes.
struct TWpis {
  std::uint32_t attributes;
  std::string bytes;
  bool operator==(const TWpis&) const = default;
};
using TObraz = std::map<std::string, TWpis>;

void Collect(platform::TPlatformaHost& host, const std::string& folder, const std::string& below,
             TObraz& out) {
  std::vector<platform::TWpisKatalogu> entries;
  ASSERT_TRUE(host.ListDirectory(folder, entries)) << folder;
  for (const platform::TWpisKatalogu& e : entries) {
    if (e.name == "." || e.name == "..") {
      continue;
    }
    const std::string path = folder + '\\' + e.name;
    const std::string key = below + e.name;
    if (e.IsDirectory()) {
      out[key] = {e.attributes, ""};
      Collect(host, path, key + '\\', out);
    } else {
      out[key] = {e.attributes, ReadHostFile(*host.HostPath(path))};
    }
  }
}

TObraz Snapshot(platform::TPlatformaHost& host) {
  TObraz out;
  Collect(host, kCel, "", out);
  return out;
}

// The demo CD, and the target as an earlier installation of it left it: files of the CD with
// other bytes (one read-only, one hidden, one named in another case), an older main program,
// special version and uninstaller, and the user's own files and folders, one of them under the
// name a backup would take first. The CD brings a file under a backup name too.
void MakePreviousInstallation(TSrodowiskoInstalacji& env) {
  env.MakeDemoCd();
  WriteHostFile(env.d / "DuzevIv.exe.orvala-kopia", "a file of the package");
  const fs::path t = env.Target();
  WriteHostFile(t / "DuzevIv.exe", "old duzeviv");
  WriteHostFile(t / "trans.chm", "old help");
  WriteHostFile(t / "SlZewRu.exe", "old slzewru");
  WriteHostFile(t / "Dane" / "polrus.sz", "old polrus");
  WriteHostFile(t / "Dane" / "Gramatyka" / "rus_gram.chm", "old grammar");
  WriteHostFile(t / "Orvatr.exe", "old orvatr");
  WriteHostFile(t / "TrPlikRu.exe", "old trplikru");
  WriteHostFile(t / "DeInstalator.exe", "old deinstalator");
  WriteHostFile(t / "moje.txt", "user data");
  WriteHostFile(t / "Dane" / "notatki.txt", "notes");
  WriteHostFile(t / "Trans.chm.orvala-kopia", "the user's file under a backup name");
  fs::create_directories(t / "Moje" / "Puste");
  env.host.SetAttributes(kCel + "\\trans.chm", kAttrReadOnly);
  env.host.SetAttributes(kCel + "\\SlZewRu.exe", kAttrHidden);
  env.host.SetAttributes(kCel + "\\DeInstalator.exe", kAttrReadOnly);
  env.host.SetAttributes(kCel + "\\Moje", kAttrHidden);
}

// Files the previous installation has that the run replaces, and the order it keeps them in.
const std::vector<std::string> kZastapione = {"Dane\\Gramatyka\\rus_gram.chm",
                                              "Dane\\polrus.sz",
                                              "DuzevIv.exe",
                                              "SlZewRu.exe",
                                              "trans.chm",
                                              "Orvatr.exe",
                                              "TrPlikRu.exe",
                                              "DeInstalator.exe"};

// No backup left: the only names of that form are the user's file and the package's.
bool NoBackupLeft(const TObraz& image) {
  for (const auto& [path, entry] : image) {
    if (path.find(".orvala-kopia") != std::string::npos && path != "Trans.chm.orvala-kopia" &&
        path != "DuzevIv.exe.orvala-kopia") {
      ADD_FAILURE() << "left behind: " << path;
      return false;
    }
  }
  return true;
}

struct TPonowna {
  TSrodowiskoInstalacji env;
  TObraz before;
  TStanInstalacji state;
  TObserwatorTestowy observer{state};

  TPonowna() {
    MakePreviousInstallation(env);
    before = Snapshot(env.host);
  }
  TWynikInstalacji Run() { return RunInstallation(env.Options(), state, observer); }
  // Presses Close at the `n`-th pending-messages call of the run.
  void PressCloseAt(int n) {
    observer.onMessages = [n](int k, TStanInstalacji& s) {
      if (k == n && s.running) {
        s.cancelRequested = true;
      }
    };
  }
};

// One press of Close wherever the run has written or kept one more file: a press between two
// such moments is answered at the same check point.
TEST(InstallationOverAPreviousOne, ACancelAtEveryCheckPointGivesTheTargetBackAsItWas) {
  std::vector<int> presses;
  {
    TPonowna clean;
    std::pair<std::size_t, std::size_t> last{SIZE_MAX, SIZE_MAX};
    clean.observer.onMessages = [&](int n, TStanInstalacji& s) {
      const std::pair now{s.copiedFiles.size(), s.keptFiles.size()};
      if (now != last) {
        presses.push_back(n);
        last = now;
      }
    };
    ASSERT_EQ(clean.Run(), TWynikInstalacji::Success);
  }
  int cancelled = 0;
  for (const int pressAt : presses) {
    SCOPED_TRACE("Close pressed at message " + std::to_string(pressAt));
    TPonowna run;
    run.PressCloseAt(pressAt);
    const TWynikInstalacji result = run.Run();
    if (result != TWynikInstalacji::Cancelled) {
      EXPECT_EQ(result, TWynikInstalacji::Success);  // pressed after the last check point
      continue;
    }
    ++cancelled;
    EXPECT_EQ(Snapshot(run.env.host), run.before);
    EXPECT_TRUE(run.state.keptFiles.empty());
    EXPECT_TRUE(run.state.copiedFiles.empty());
    EXPECT_TRUE(run.state.createdDirectories.empty());
  }
  // Every file of the copy and the main program: a cancel after each of them.
  EXPECT_GE(cancelled, 11);
}

TEST(InstallationOverAPreviousOne, TheRollbackGaugeCountsTheRestoredFiles) {
  TPonowna run;
  run.observer.onMessages = [&run](int, TStanInstalacji& s) {
    if (!run.observer.filePairs.empty() &&
        run.observer.filePairs.back().second == kEtykietaProgramu && s.running) {
      s.cancelRequested = true;
    }
  };
  ASSERT_EQ(run.Run(), TWynikInstalacji::Cancelled);
  // 11 files written (10 of the CD, the main program), 6 kept (the CD's five, the main
  // program), 1 directory created (Dane\Puste).
  const auto start =
      std::find(run.observer.gauge.begin(), run.observer.gauge.end(), std::make_pair(18u, 0u));
  ASSERT_NE(start, run.observer.gauge.end());
  EXPECT_EQ(run.observer.gauge.back(), std::make_pair(18u, 18u));
  EXPECT_EQ(Snapshot(run.env.host), run.before);
}

TEST(InstallationOverAPreviousOne, AFinishedRunLeavesNewFilesAndNoBackup) {
  TPonowna run;
  TPlatformaAwarie counts(run.env.host);
  TZasiegPlatformy scope(counts);
  ASSERT_EQ(run.Run(), TWynikInstalacji::Success);
  // One move aside per replaced file: the main program's second writing keeps nothing.
  EXPECT_EQ(counts.Calls(TOperacja::Rename), static_cast<int>(kZastapione.size()));
  EXPECT_TRUE(run.state.keptFiles.empty());
  const TObraz after = Snapshot(run.env.host);
  EXPECT_TRUE(NoBackupLeft(after));
  EXPECT_EQ(after.at("Trans.chm.orvala-kopia"), run.before.at("Trans.chm.orvala-kopia"));
  EXPECT_EQ(after.at("DuzevIv.exe.orvala-kopia").bytes, "a file of the package");
  const fs::path t = run.env.Target();
  EXPECT_EQ(ReadHostFile(t / "DuzevIv.exe"), "duzeviv");
  EXPECT_EQ(after.count("trans.chm"), 0u);  // a new file, spelt as the package spells it
  EXPECT_EQ(after.at("Trans.chm"), (TWpis{platform::kAttrArchive, "help"}));
  EXPECT_EQ(ReadHostFile(t / "Dane" / "Gramatyka" / "rus_gram.chm"), "grammar");
  EXPECT_EQ(ReadHostFile(t / "Orvatr.exe"), run.env.payload.special1 + run.env.payload.special2);
  EXPECT_EQ(ReadHostFile(t / "DeInstalator.exe"), run.env.payload.uninstaller);
  for (const char* own : {"moje.txt", "Dane\\notatki.txt", "Moje", "Moje\\Puste"}) {
    EXPECT_EQ(after.at(own), run.before.at(own)) << own;
  }
}

// Each file the run would keep, in turn, cannot be moved aside.
TEST(InstallationOverAPreviousOne, AFileThatCannotBeMovedAsideFailsTheRunAndStaysAsItWas) {
  for (std::size_t k = 1; k <= kZastapione.size(); ++k) {
    const std::string& file = kZastapione[k - 1];
    SCOPED_TRACE(file);
    TPonowna run;
    TPlatformaAwarie faults(run.env.host);
    TZasiegPlatformy scope(faults);
    faults.FailNth(TOperacja::Rename, static_cast<int>(k));
    EXPECT_EQ(run.Run(), TWynikInstalacji::Failed);
    const TObraz after = Snapshot(run.env.host);
    EXPECT_EQ(after.at(file), run.before.at(file));
    EXPECT_TRUE(NoBackupLeft(after));
    EXPECT_EQ(after.at("moje.txt"), run.before.at("moje.txt"));
    EXPECT_EQ(faults.Calls(TOperacja::Rename), static_cast<int>(k));
  }
}

TEST(InstallationOverAPreviousOne, AFileThatCannotBeReadIsPutBackAndTheRunFails) {
  TPonowna run;
  TPlatformaAwarie faults(run.env.host);
  TZasiegPlatformy scope(faults);
  faults.FailNth(TOperacja::Read, 19);  // the first read of Trans.chm, the fifth file replaced
  EXPECT_EQ(run.Run(), TWynikInstalacji::Failed);
  ASSERT_FALSE(run.observer.filePairs.empty());
  EXPECT_EQ(run.observer.filePairs.back().second, u"Do: C:\\Program Files\\Orvalis\\Trans.chm");
  const TObraz after = Snapshot(run.env.host);
  EXPECT_EQ(after.at("trans.chm"), run.before.at("trans.chm"));
  EXPECT_EQ(ReadHostFile(run.env.Target() / "DuzevIv.exe"), "duzeviv");  // copied, it stays
  EXPECT_TRUE(NoBackupLeft(after));
  EXPECT_TRUE(run.state.keptFiles.empty());
}

TEST(InstallationOverAPreviousOne, AFileThatCannotBePutBackKeepsItsBackupAndTheRestReturn) {
  TPonowna run;
  TPlatformaAwarie faults(run.env.host);
  TZasiegPlatformy scope(faults);
  run.observer.onMessages = [&run](int, TStanInstalacji& s) {
    if (!run.observer.filePairs.empty() &&
        run.observer.filePairs.back().second == kEtykietaProgramu && s.running) {
      s.cancelRequested = true;
    }
  };
  // Six files kept by then; the rollback puts the newest (the main program) back first.
  faults.FailNth(TOperacja::Rename, 7);
  ASSERT_EQ(run.Run(), TWynikInstalacji::Cancelled);
  TObraz after = Snapshot(run.env.host);
  ASSERT_EQ(after.count("Orvatr.exe.orvala-kopia"), 1u);
  EXPECT_EQ(after.at("Orvatr.exe.orvala-kopia"), run.before.at("Orvatr.exe"));
  EXPECT_EQ(after.count("Orvatr.exe"), 0u);
  after.erase("Orvatr.exe.orvala-kopia");
  TObraz expected = run.before;
  expected.erase("Orvatr.exe");
  EXPECT_EQ(after, expected);
  EXPECT_TRUE(run.state.keptFiles.empty());
}

TEST(InstallationOverAPreviousOne, IntoANewFolderNothingIsKeptOrRenamed) {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  TPlatformaAwarie faults(env.host);
  TZasiegPlatformy scope(faults);
  TStanInstalacji state;
  fs::create_directories(env.Target());
  state.createdDirectories.push_back(kCel);
  TObserwatorTestowy observer(state);
  ASSERT_EQ(RunInstallation(env.Options(), state, observer), TWynikInstalacji::Success);
  EXPECT_EQ(faults.Calls(TOperacja::Rename), 0);
  EXPECT_EQ(faults.Calls(TOperacja::Delete), 0);
  EXPECT_TRUE(state.keptFiles.empty());
  EXPECT_EQ(state.copiedFiles.size(), 10u);
}

}  // namespace
}  // namespace orvala
