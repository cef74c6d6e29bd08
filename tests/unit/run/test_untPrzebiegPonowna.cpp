// The installation run over a previous installation: the files it replaces are kept aside, a
// cancel gives them back (names, bytes and attributes), a finished or failed run deletes them,
// and a file that cannot be kept is never touched.
#include <gtest/gtest.h>

#include <map>

#include "config/untInstalStale.h"
#include "config/untRejestr.h"
#include "config/untStaleApp.h"
#include "engine/untInstalOdswiezanie.h"
#include "engine/untKopieZapasowe.h"
#include "engine/untPrzebiegInstalacji.h"
#include "platform/untPlatformaAwarie.h"
#include "textutil/untUtils.h"
#include "untSrodowiskoInstalacji.h"

namespace orvala {
namespace {

namespace fs = std::filesystem;
using platform::kAttrHidden;
using platform::kAttrReadOnly;
using platform::TOperacja;
using platform::TPlatformaAwarie;
using platform::TPrzyczynaBledu;
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

// The entry of `path` in `image`, its name compared without regard to case.
TWpis Entry(const TObraz& image, const std::string& path) {
  for (const auto& [name, entry] : image) {
    if (LowerText1250(name) == LowerText1250(path)) {
      return entry;
    }
  }
  ADD_FAILURE() << "missing: " << path;
  return {};
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
      const std::pair now{s.journal.Paths(TRodzajWpisu::PlikZapisany).size(),
                          s.journal.Paths(TRodzajWpisu::PlikOdlozony).size()};
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
    EXPECT_TRUE(run.state.journal.Paths(TRodzajWpisu::PlikOdlozony).empty());
    EXPECT_TRUE(run.state.journal.Paths(TRodzajWpisu::PlikZapisany).empty());
    EXPECT_TRUE(run.state.journal.Paths(TRodzajWpisu::KatalogUtworzony).empty());
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
  EXPECT_TRUE(run.state.journal.Paths(TRodzajWpisu::PlikOdlozony).empty());
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

// Each file the run would keep, in turn, cannot be moved aside: a file of the copy or the main
// program fails the run, which gives back every file it replaced; a special version is skipped.
TEST(InstallationOverAPreviousOne, AFileThatCannotBeMovedAsideStaysAsItWas) {
  const std::size_t kSpecjalne = 2;  // TrPlikRu.exe and DeInstalator.exe, the last two kept
  for (std::size_t k = 1; k <= kZastapione.size(); ++k) {
    const std::string& file = kZastapione[k - 1];
    SCOPED_TRACE(file);
    TPonowna run;
    TPlatformaAwarie faults(run.env.host);
    TZasiegPlatformy scope(faults);
    faults.FailNth(TOperacja::Rename, static_cast<int>(k));
    const bool special = k > kZastapione.size() - kSpecjalne;
    EXPECT_EQ(run.Run(), special ? TWynikInstalacji::Success : TWynikInstalacji::Failed);
    const TObraz after = Snapshot(run.env.host);
    EXPECT_EQ(Entry(after, file), run.before.at(file));
    EXPECT_TRUE(NoBackupLeft(after));
    EXPECT_TRUE(run.observer.questions.empty());  // refused, not in use: nothing to ask
    if (!special) {
      // Given back over the run's file, trans.chm may take the spelling of that file's name.
      for (const std::string& replaced : kZastapione) {
        EXPECT_EQ(Entry(after, replaced), run.before.at(replaced)) << replaced;
      }
    }
    EXPECT_EQ(after.at("moje.txt"), run.before.at("moje.txt"));
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
  // Replaced before the failure, it is given back; added, it stays.
  EXPECT_EQ(after.at("DuzevIv.exe"), run.before.at("DuzevIv.exe"));
  int added = 0;
  for (const std::string& written : run.state.journal.Paths(TRodzajWpisu::PlikZapisany)) {
    const std::string below = written.substr(kCel.size() + 1);
    if (run.before.count(below) == 0) {
      ++added;
      EXPECT_EQ(after.count(below), 1u) << below;
    }
  }
  EXPECT_GT(added, 0);
  EXPECT_TRUE(NoBackupLeft(after));
  EXPECT_TRUE(run.state.journal.Paths(TRodzajWpisu::PlikOdlozony).empty());
}

TEST(InstallationOverAPreviousOne, IntoANewFolderNothingIsKeptOrRenamed) {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  TPlatformaAwarie faults(env.host);
  TZasiegPlatformy scope(faults);
  TStanInstalacji state;
  fs::create_directories(env.Target());
  state.journal.DirectoryCreated(kCel);
  TObserwatorTestowy observer(state);
  ASSERT_EQ(RunInstallation(env.Options(), state, observer), TWynikInstalacji::Success);
  EXPECT_EQ(faults.Calls(TOperacja::Rename), 0);
  EXPECT_EQ(faults.Calls(TOperacja::Delete), 0);
  EXPECT_TRUE(state.journal.Paths(TRodzajWpisu::PlikOdlozony).empty());
  EXPECT_EQ(state.journal.Paths(TRodzajWpisu::PlikZapisany).size(), 10u);
}

// --- Files in use, failed runs, runs cut off -----------------------------------------------------

const std::string kZapis = "SOFTWARE\\Vertal\\Orvala\\TrwajacaInstalacja";

// The path a question about a file in use names, read back from text 314.
TWideString InUseQuestion(const std::string& path) {
  return FileLabel(kJezykPolski, 314, path);
}

// A file another program holds: met at the k-th move aside (Orvatr.exe, the main program's,
// and trans.chm, of the copy) or at the k-th file created, once or twice in a row, answered
// Yes (the program has closed) or No.
TEST(InstallationOverAPreviousOne, AFileInUseIsAskedAboutAndTriedAgainOrEndsTheRun) {
  struct TPrzypadek {
    TOperacja operation;
    int k;
    int times;
    bool yes;
  };
  const TPrzypadek cases[] = {
      {TOperacja::Rename, 5, 1, true},      {TOperacja::Rename, 6, 2, true},
      {TOperacja::Rename, 5, 1, false},     {TOperacja::Rename, 6, 1, false},
      {TOperacja::CreateWrite, 3, 1, true}, {TOperacja::CreateWrite, 3, 1, false},
  };
  for (const TPrzypadek& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.operation)) + " #" + std::to_string(c.k) +
                 (c.yes ? " yes" : " no"));
    TPonowna run;
    TPlatformaAwarie faults(run.env.host);
    TZasiegPlatformy scope(faults);
    for (int t = 0; t < c.times; ++t) {
      faults.FailNth(c.operation, c.k + t, TPrzyczynaBledu::PlikWUzyciu);
    }
    run.observer.answerYes = c.yes;
    std::string asked;  // the file named on the page when the question came
    run.observer.onMessages = [&](int, TStanInstalacji&) {
      if (!run.observer.filePairs.empty() && run.observer.questions.empty()) {
        const TWideString& to = run.observer.filePairs.back().second;
        asked.assign(to.begin() + 4, to.end());  // "Do: " and an ASCII path
      }
    };
    const TWynikInstalacji result = run.Run();
    const std::string expected =
        c.operation == TOperacja::Rename ? kCel + "\\" + kZastapione[c.k - 1] : asked;
    ASSERT_EQ(run.observer.questions.size(), static_cast<std::size_t>(c.yes ? c.times : 1));
    for (const TWideString& q : run.observer.questions) {
      EXPECT_EQ(q, InUseQuestion(expected));
    }
    const TObraz after = Snapshot(run.env.host);
    if (c.yes) {
      EXPECT_EQ(result, TWynikInstalacji::Success);
      EXPECT_TRUE(NoBackupLeft(after));
      EXPECT_EQ(ReadHostFile(run.env.Target() / "Orvatr.exe"),
                run.env.payload.special1 + run.env.payload.special2);
      EXPECT_EQ(Entry(after, "trans.chm").bytes, "help");
    } else {
      EXPECT_EQ(result, TWynikInstalacji::Cancelled);
      EXPECT_EQ(run.observer.stages.back(), GetText(kJezykPolski, 147, false));
      EXPECT_EQ(after, run.before);
    }
    EXPECT_FALSE(run.env.host.KeyExists(platform::TKorzen::CurrentUser, kZapis));
  }
}

// Every file the run replaced is back and every file it added is still there.
void ExpectPreviousPlusAdded(const TObraz& before, const TObraz& after,
                             const std::vector<std::string>& added) {
  EXPECT_TRUE(NoBackupLeft(after));
  for (const auto& [path, entry] : before) {
    EXPECT_EQ(Entry(after, path).bytes, entry.bytes) << path;
  }
  for (const auto& [path, entry] : after) {
    const bool known = std::any_of(before.begin(), before.end(), [&](const auto& b) {
      return LowerText1250(b.first) == LowerText1250(path);
    });
    if (!known) {
      EXPECT_TRUE(std::find(added.begin(), added.end(), kCel + "\\" + path) != added.end() ||
                  (entry.attributes & platform::kAttrDirectory) != 0)
          << "not the run's: " << path;
    }
  }
}

// How many calls of `operation` a reinstall that nothing disturbs makes.
int CallsOfACleanRun(TOperacja operation) {
  TPonowna clean;
  TPlatformaAwarie counts(clean.env.host);
  TZasiegPlatformy scope(counts);
  EXPECT_EQ(clean.Run(), TWynikInstalacji::Success);
  return counts.Calls(operation);
}

TEST(InstallationOverAPreviousOne, ARunThatFailsGivesBackWhatItReplacedAndKeepsWhatItAdded) {
  const int reads = CallsOfACleanRun(TOperacja::Read);
  // Every read of the copy fails in turn (the payload's own reads are not counted here).
  int failed = 0;
  for (int k = 1; k <= reads; ++k) {
    SCOPED_TRACE("read " + std::to_string(k));
    TPonowna run;
    TPlatformaAwarie faults(run.env.host);
    TZasiegPlatformy scope(faults);
    faults.FailNth(TOperacja::Read, k);
    if (run.Run() != TWynikInstalacji::Failed) {
      continue;
    }
    ++failed;
    EXPECT_TRUE(run.observer.questions.empty());
    ExpectPreviousPlusAdded(run.before, Snapshot(run.env.host),
                            run.state.journal.Paths(TRodzajWpisu::PlikZapisany));
    EXPECT_TRUE(run.state.journal.Paths(TRodzajWpisu::PlikOdlozony).empty());
    EXPECT_FALSE(run.env.host.KeyExists(platform::TKorzen::CurrentUser, kZapis));
  }
  EXPECT_GE(failed, 10);
}

TEST(InstallationOverAPreviousOne, ASpecialVersionCutShortIsPutBackAndTheRunGoesOn) {
  TPonowna run;
  run.env.host.SetResource("PTRPLIKRU11B", testy::BytesOf("not a packed part"));
  run.env.host.SetResource("PDEINSTALRU11", {});
  ASSERT_EQ(run.Run(), TWynikInstalacji::Success);
  const TObraz after = Snapshot(run.env.host);
  EXPECT_EQ(after.at("TrPlikRu.exe"), run.before.at("TrPlikRu.exe"));
  EXPECT_EQ(after.at("DeInstalator.exe"), run.before.at("DeInstalator.exe"));
  EXPECT_TRUE(NoBackupLeft(after));
}

TEST(InstallationOverAPreviousOne, ABackupOfARunningProgramIsHiddenAndDeletedAtRestart) {
  const int deletes = CallsOfACleanRun(TOperacja::Delete);
  TPonowna run;
  TPlatformaAwarie faults(run.env.host);
  TZasiegPlatformy scope(faults);
  // The run ends deleting the backups in the order they were kept: the main program's (its old
  // copy running), TrPlikRu.exe's, then DeInstalator.exe's, read-only, which takes two.
  faults.FailNth(TOperacja::Delete, deletes - 3, TPrzyczynaBledu::PlikWUzyciu);
  ASSERT_EQ(run.Run(), TWynikInstalacji::Success);
  const TObraz after = Snapshot(run.env.host);
  const std::string kept = "Orvatr.exe.orvala-kopia";
  ASSERT_EQ(after.count(kept), 1u);
  EXPECT_EQ(after.at(kept).bytes, "old orvatr");
  EXPECT_NE(after.at(kept).attributes & kAttrHidden, 0u);
  EXPECT_EQ(run.env.host.PendingDeletions(), std::vector<std::string>{kCel + "\\" + kept});
  EXPECT_EQ(ReadHostFile(run.env.Target() / "Orvatr.exe"),
            run.env.payload.special1 + run.env.payload.special2);
  EXPECT_TRUE(run.observer.questions.empty());
}

// The process killed between any two calls that change the machine, and the next start, from
// what the disk and the record hold alone: every file the run replaced is back, byte for byte,
// and the record is gone. Killed once the record is gone (deleting backups), the new
// installation stays.
TEST(InstallationOverAPreviousOne, ARunKilledAnywhereIsUndoneAtTheNextStart) {
  int changes = 0;
  {
    TPonowna clean;
    TPlatformaAwarie counts(clean.env.host);
    TZasiegPlatformy scope(counts);
    ASSERT_EQ(clean.Run(), TWynikInstalacji::Success);
    changes = counts.Changes();
  }
  int restored = 0;
  for (int k = 1; k <= changes; ++k) {
    SCOPED_TRACE("killed at change " + std::to_string(k));
    TPonowna run;
    run.observer.answerYes = false;  // a dead process asks nobody: no question is answered Yes
    {
      TPlatformaAwarie dying(run.env.host);
      TZasiegPlatformy scope(dying);
      dying.KillAt(k);
      run.Run();
    }
    const bool recorded = run.env.host.KeyExists(platform::TKorzen::CurrentUser, kZapis);
    const TOdzyskanie next = RecoverInterruptedRun(ActiveEdition(), nullptr);
    EXPECT_TRUE(next == TOdzyskanie::Restored || next == TOdzyskanie::Nothing);
    EXPECT_FALSE(run.env.host.KeyExists(platform::TKorzen::CurrentUser, kZapis));
    const TObraz after = Snapshot(run.env.host);
    if (!recorded &&
        ReadHostFile(run.env.Target() / "DeInstalator.exe") == run.env.payload.uninstaller) {
      continue;  // killed while deleting its backups: the new installation stays
    }
    EXPECT_TRUE(NoBackupLeft(after));
    restored += recorded ? 1 : 0;
    for (const auto& [path, entry] : run.before) {
      EXPECT_EQ(Entry(after, path).bytes, entry.bytes) << path;
    }
  }
  EXPECT_GE(restored, 20);
}

// A give-back step meets a file held for a moment (a virus scanner): tried again, it succeeds,
// and nothing is asked. Held for good: asked about (answered No), the file from before the run
// stays under its backup name and in the record, text 316 says so, and the next start, the file
// let go, puts it back. Steps: the cancel's deletion of the run's file and its rename back, the
// failed run's replacement.
TEST(InstallationOverAPreviousOne, AGiveBackStepIsTriedAgainAndWhatCannotGoBackIsKept) {
  struct TPrzypadek {
    const char* step;
    TOperacja operation;
    bool cancel;  // otherwise a read of the CD fails the run
    bool always;
  };
  const TPrzypadek cases[] = {
      {"delete", TOperacja::Delete, true, false},    {"delete", TOperacja::Delete, true, true},
      {"rename", TOperacja::Rename, true, false},    {"rename", TOperacja::Rename, true, true},
      {"replace", TOperacja::Replace, false, false}, {"replace", TOperacja::Replace, false, true},
  };
  const int reads = CallsOfACleanRun(TOperacja::Read);
  for (const TPrzypadek& c : cases) {
    SCOPED_TRACE(std::string(c.step) + (c.always ? " always" : " once"));
    TPonowna run;
    TPlatformaAwarie faults(run.env.host);
    TZasiegPlatformy scope(faults);
    // Yes to the cancel question; No to the question about a file in use.
    run.observer.answers = c.cancel ? std::vector<bool>{true, false} : std::vector<bool>{false};
    if (c.cancel) {
      run.observer.onMessages = [&run](int, TStanInstalacji& s) {
        if (!run.observer.filePairs.empty() &&
            run.observer.filePairs.back().second == kEtykietaProgramu && s.running) {
          s.cancelRequested = true;
        }
      };
    } else {
      faults.FailNth(TOperacja::Read, reads - 1);  // the last file of the copy
    }
    // The give-back's first step of that kind, for the newest file: the main program's (the
    // cancel; six files were moved aside by then), or the last file the copy replaced (the
    // failure).
    const int first = c.operation == TOperacja::Rename ? 7 : 1;
    for (int t = 0; t < (c.always ? 6 : 1); ++t) {
      faults.FailNth(c.operation, first + t, TPrzyczynaBledu::PlikWUzyciu);
    }
    const TWynikInstalacji result = run.Run();
    EXPECT_EQ(result, c.cancel ? TWynikInstalacji::Cancelled : TWynikInstalacji::Failed);
    EXPECT_EQ(run.observer.questions.size(), (c.cancel ? 1u : 0u) + (c.always ? 1u : 0u));
    EXPECT_EQ(run.observer.told.size(), c.always ? 1u : 0u);
    if (c.always) {
      EXPECT_EQ(run.observer.told[0], GetText(kJezykPolski, 316, false));
      EXPECT_TRUE(run.env.host.KeyExists(platform::TKorzen::CurrentUser, kZapis));
      faults.ClearFailures();
      EXPECT_EQ(RecoverInterruptedRun(ActiveEdition(), nullptr), TOdzyskanie::Restored);
    }
    EXPECT_FALSE(run.env.host.KeyExists(platform::TKorzen::CurrentUser, kZapis));
    const TObraz after = Snapshot(run.env.host);
    EXPECT_TRUE(NoBackupLeft(after));
    for (const std::string& replaced : kZastapione) {
      EXPECT_EQ(Entry(after, replaced).bytes, run.before.at(replaced).bytes) << replaced;
    }
  }
}

}  // namespace
}  // namespace orvala
