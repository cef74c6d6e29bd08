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

#include "untPoprzedniaInstalacja.h"

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
using namespace testy;

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

}  // namespace
}  // namespace orvala
