// The journal of a reinstall at its limits: a process killed anywhere, give-backs that fail,
// a second copy, a record with gaps, deep folders, files changed since a run was cut off.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "engine/untDziennikPrzebiegu.h"
#include "untPoprzedniaInstalacja.h"

namespace orvala {
namespace {

// The tests of a reinstall share the fixture's names (TPonowna, Snapshot, kZapis, ...).
using platform::TPrzyczynaBledu;
using namespace testy;

// The process killed, or the power cut, between any two calls that change the machine, and the
// next start, from what the disk and the record hold alone (after a power cut, the registry as
// last flushed): every file the run replaced is back, byte for byte, and the record is gone.
// Cut off once the record is gone (deleting backups), the new installation stays.
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
  for (int at = 0; at < 2 * changes; ++at) {
    const int k = at / 2 + 1;
    const bool power = at % 2 == 1;
    SCOPED_TRACE((power ? "power cut at change " : "killed at change ") + std::to_string(k));
    TPonowna run;
    run.observer.answerYes = false;  // a dead process asks nobody: no question is answered Yes
    {
      TPlatformaAwarie dying(run.env.host);
      TZasiegPlatformy scope(dying);
      dying.KillAt(k);
      run.Run();
    }
    if (power) {
      run.env.host.PowerCut();  // what the registry had not written to the disk is lost
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
  EXPECT_GE(restored, 40);
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

// A second copy of the program starts while the first one reinstalls: the record names a
// process that still runs, so the second touches nothing, and the first finishes with every
// file new. Once that process has ended, its record is a run cut off.
TEST(InstallationOverAPreviousOne, ASecondCopyLeavesALiveRunAlone) {
  TPonowna run;
  std::optional<TOdzyskanie> second;
  TObraz during;
  run.observer.onMessages = [&](int, TStanInstalacji& s) {
    if (!second && !s.journal.Paths(TRodzajWpisu::PlikOdlozony).empty()) {
      during = Snapshot(run.env.host);
      run.env.host.SetProcessIdentity("2:2");  // the second copy's own process
      second = RecoverInterruptedRun(ActiveEdition(), nullptr);
      run.env.host.SetProcessIdentity("1:1");
      EXPECT_EQ(Snapshot(run.env.host), during);
    }
  };
  ASSERT_EQ(run.Run(), TWynikInstalacji::Success);
  EXPECT_EQ(second, TOdzyskanie::OwnerAlive);
  EXPECT_EQ(ReadHostFile(run.env.Target() / "DuzevIv.exe"), "duzeviv");
  EXPECT_TRUE(NoBackupLeft(Snapshot(run.env.host)));

  // The same record, its owner gone: the files go back.
  TPonowna cut;
  cut.observer.answers = {true};
  cut.env.host.SetProcessIdentity("3:3");
  cut.observer.onMessages = [&cut](int, TStanInstalacji& s) {
    if (cut.observer.filePairs.size() > 4 && s.running) {
      throw std::runtime_error("killed");  // the process ends here, its record left
    }
  };
  EXPECT_THROW(cut.Run(), std::runtime_error);
  cut.env.host.SetProcessIdentity("4:4");
  EXPECT_EQ(RecoverInterruptedRun(ActiveEdition(), nullptr), TOdzyskanie::OwnerAlive);
  cut.env.host.EndProcess("3:3");
  EXPECT_EQ(RecoverInterruptedRun(ActiveEdition(), nullptr), TOdzyskanie::Restored);
  const TObraz after = Snapshot(cut.env.host);
  EXPECT_TRUE(NoBackupLeft(after));
  for (const auto& [path, entry] : cut.before) {
    EXPECT_EQ(Entry(after, path).bytes, entry.bytes) << path;
  }
}

// The record says which files to give back whatever else happened to it: a gap in its numbers
// (a value that could not be written, or was deleted) hides nothing after it, a value that is
// no entry is passed over, a file changed since the run was cut off is not overwritten (its
// backup stays), and an entry whose drive is absent stays for a later start.
TEST(InstallationOverAPreviousOne, TheStartUpTakesTheRecordAsItIs) {
  TSrodowiskoInstalacji env;
  const fs::path t = env.Target();
  WriteHostFile(t / "a.exe", "run's a");
  WriteHostFile(t / "a.exe.orvala-kopia", "old a");
  WriteHostFile(t / "b.exe.orvala-kopia", "old b");
  WriteHostFile(t / "c.exe", "changed by the user");
  WriteHostFile(t / "c.exe.orvala-kopia", "old c");
  const std::optional<platform::TWpisKatalogu> a = env.host.FindEntry(kCel + "\\a.exe");
  ASSERT_TRUE(a);
  {
    auto key =
        env.host.OpenKey(platform::TKorzen::CurrentUser, kZapis, platform::kKeyAllAccess, true);
    ASSERT_TRUE(key);
    key->WriteString("Wlasciciel", "9:9");
    key->WriteString("2", kCel + "\\a.exe|" + kCel + "\\a.exe.orvala-kopia|" +
                              std::to_string(a->size) + "|" + std::to_string(a->modified));
    key->WriteString("5", kCel + "\\b.exe|" + kCel + "\\b.exe.orvala-kopia");
    key->WriteString("6", "no entry");
    key->WriteString("7", kCel + "\\c.exe|" + kCel + "\\c.exe.orvala-kopia|5|5");
    key->WriteString("9", "Q:\\Orvalis\\d.exe|Q:\\Orvalis\\d.exe.orvala-kopia");
  }
  env.host.EndProcess("9:9");
  EXPECT_EQ(RecoverInterruptedRun(ActiveEdition(), nullptr), TOdzyskanie::Incomplete);
  EXPECT_EQ(ReadHostFile(t / "a.exe"), "old a");
  EXPECT_EQ(ReadHostFile(t / "b.exe"), "old b");
  EXPECT_EQ(ReadHostFile(t / "c.exe"), "changed by the user");
  EXPECT_EQ(ReadHostFile(t / "c.exe.orvala-kopia"), "old c");
  const std::optional<TZapisPozostaly> left = ReadInterruptedRun(ActiveEdition());
  ASSERT_TRUE(left);
  ASSERT_EQ(left->entries.size(), 1u);
  EXPECT_EQ(left->entries[0].index, 9);
}

// The record is on the disk before the files it lists move (one flush per folder that has
// files to replace), and the new files and the record's removal are before the old ones are
// deleted; a run into a new folder writes and flushes nothing. A record that cannot be flushed
// stops the run before anything moves.
TEST(InstallationOverAPreviousOne, TheRecordIsOnTheDiskBeforeAnythingMoves) {
  {
    TPonowna run;
    ASSERT_EQ(run.Run(), TWynikInstalacji::Success);
    // The root (with the main program and the special versions the later steps write there),
    // Dane and Dane\Gramatyka; the main program written again as a special version; the
    // record's removal, before the backups go.
    EXPECT_EQ(run.env.host.KeyFlushes(), 5);
    EXPECT_EQ(run.env.host.VolumeFlushes(), 1);
  }
  {
    TSrodowiskoInstalacji env;
    env.MakeDemoCd();
    TStanInstalacji state;
    fs::create_directories(env.Target());
    state.journal.DirectoryCreated(kCel);
    TObserwatorTestowy observer(state);
    ASSERT_EQ(RunInstallation(env.Options(), state, observer), TWynikInstalacji::Success);
    EXPECT_EQ(env.host.KeyFlushes(), 0);
    EXPECT_EQ(env.host.VolumeFlushes(), 0);
    EXPECT_FALSE(env.host.KeyExists(platform::TKorzen::CurrentUser, kZapis));
  }
  TPonowna run;
  TPlatformaAwarie faults(run.env.host);
  TZasiegPlatformy scope(faults);
  faults.FailNth(TOperacja::RegistryFlush, 1);
  EXPECT_EQ(run.Run(), TWynikInstalacji::Failed);
  EXPECT_EQ(faults.Calls(TOperacja::Rename), 0);
  EXPECT_EQ(Snapshot(run.env.host).at("DuzevIv.exe"), run.before.at("DuzevIv.exe"));
  EXPECT_FALSE(run.env.host.KeyExists(platform::TKorzen::CurrentUser, kZapis));
}

// A file whose path leaves no room for the long backup name (a deep target) is kept under a
// short one: the reinstall succeeds, where it used to fail at every try.
TEST(InstallationOverAPreviousOne, ADeepFileIsKeptUnderAShortName) {
#ifdef _WIN32
  // The stand-in's drive C: is a folder below the temporary folder: on Windows its deep files
  // would pass the system's own path limit before the program's.
  GTEST_SKIP() << "the stand-in's deep folders need a host without Windows' path limit";
#endif
  TSrodowiskoInstalacji env;
  WriteHostFile(env.d / "Dane" / "slownik.dat", "new");
  const std::string deep = "C:\\" + std::string(230, 'k');  // 233 + 17 = 250 characters
  WriteHostFile(env.c / std::string(230, 'k') / "Dane" / "slownik.dat", "old");
  TOpcjeInstalacji options = env.Options();
  options.targetDirectory = deep;
  TStanInstalacji state;
  TObserwatorTestowy observer(state);
  std::vector<std::string> backups;  // the backup names the record lists, while it does
  observer.onMessages = [&backups](int, TStanInstalacji&) {
    if (const auto left = ReadInterruptedRun(ActiveEdition()); left && backups.empty()) {
      for (const TWpisZapisu& e : left->entries) {
        backups.push_back(e.backup.substr(e.backup.rfind('\\') + 1));
      }
    }
  };
  ASSERT_EQ(RunInstallation(options, state, observer), TWynikInstalacji::Success);
  EXPECT_EQ(ReadHostFile(env.c / std::string(230, 'k') / "Dane" / "slownik.dat"), "new");
  EXPECT_EQ(backups, std::vector<std::string>{"~1"});
}

// At the end of a finished run, a backup whose program still runs is hidden only once its
// deletion at the next restart is arranged: where it cannot be (a system without that list),
// the backup stays as it is, in sight.
TEST(InstallationOverAPreviousOne, ABackupIsHiddenOnlyWhenItsDeletionIsArranged) {
  for (const bool refused : {false, true}) {
    SCOPED_TRACE(refused ? "cannot be arranged" : "arranged");
    TPonowna run;
    TPlatformaAwarie faults(run.env.host);
    TZasiegPlatformy scope(faults);
    run.env.host.RefuseDeletionsAtRestart(refused);
    faults.FailFrom(TOperacja::Delete, 1, TPrzyczynaBledu::PlikWUzyciu);
    ASSERT_EQ(run.Run(), TWynikInstalacji::Success);
    const TObraz after = Snapshot(run.env.host);
    const TWpis backup = after.at("DuzevIv.exe.orvala-kopia2");
    EXPECT_EQ(backup.bytes, "old duzeviv");
    EXPECT_EQ((backup.attributes & kAttrHidden) != 0, !refused);
  }
}

}  // namespace
}  // namespace orvala
