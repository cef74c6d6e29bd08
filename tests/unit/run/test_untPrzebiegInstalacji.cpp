// The installation run on the host platform: the copy, the payload, the shared components, the
// later steps, cancellation with rollback at every check point, and the gauge.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "config/untInstalTeksty.h"
#include "engine/untInstalOdswiezanie.h"
#include "engine/untInstalPostep.h"
#include "engine/untPrzebiegInstalacji.h"
#include "textutil/untKodowanie.h"
#include "untLatki.h"
#include "untSrodowiskoInstalacji.h"

namespace orvala {
namespace {

using platform::TKorzen;
using testy::BytesOf;
using testy::ReadHostFile;
using testy::TObserwatorTestowy;
using testy::TSrodowiskoInstalacji;
using testy::WriteHostFile;

// What the wizard has done by the time the run starts: SprawdzOpcje created the target and
// recorded it for rollback when it did not exist.
struct TPrzebiegTestowy {
  explicit TPrzebiegTestowy(TSrodowiskoInstalacji& env) : env_(env) {}

  TWynikInstalacji Run(const TOpcjeInstalacji& options) {
    if (!env_.host.DirectoryExists(options.targetDirectory)) {
      std::filesystem::create_directories(*env_.host.HostPath(options.targetDirectory));
      state.journal.DirectoryCreated(options.targetDirectory);
    }
    return RunInstallation(options, state, observer);
  }

  TStanInstalacji state;
  TObserwatorTestowy observer{state};

 private:
  TSrodowiskoInstalacji& env_;
};

bool Shown(const std::vector<TWideString>& texts, int id) {
  const TWideString text = GetText(kJezykPolski, id, false);
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(InstallationRun, CopiesTheTreeLessTheExclusionsAndWritesThePayload) {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  TPrzebiegTestowy run(env);
  ASSERT_EQ(run.Run(env.Options()), TWynikInstalacji::Success);
  EXPECT_TRUE(run.state.success);
  EXPECT_FALSE(run.state.running);

  const auto target = env.Target();
  EXPECT_EQ(ReadHostFile(target / "DuzevIv.exe"), "duzeviv");
  EXPECT_EQ(ReadHostFile(target / "ruspol.sz"), std::string(70'000, 'r'));
  EXPECT_EQ(ReadHostFile(target / "Dane" / "polrus.sz"), std::string(40'000, 'p'));
  EXPECT_EQ(ReadHostFile(target / "Dane" / "Gramatyka" / "rus_gram.chm"), "grammar");
  EXPECT_TRUE(std::filesystem::is_directory(target / "Dane" / "Puste"));
  // Excluded at any case: the licence in upper case, autorun, the shared components.
  for (const char* excluded : {"UMOWAPOL.TXT", "autorun.inf", "comctl32.dll", "comctl32.ocx"}) {
    EXPECT_FALSE(std::filesystem::exists(target / excluded)) << excluded;
  }
  // The main program is the special version, not the CD's file nor the A/B/C build.
  EXPECT_EQ(ReadHostFile(target / "Orvatr.exe"), env.payload.special1 + env.payload.special2);
  EXPECT_EQ(ReadHostFile(target / "TrIntRu.exe"), env.payload.internet);
  EXPECT_EQ(ReadHostFile(target / "TrPlikRu.exe"), env.payload.files);
  EXPECT_EQ(ReadHostFile(target / "DeInstalator.exe"), env.payload.uninstaller);

  // Rollback lists: the target first (recorded by the options page), then the subfolders in
  // creation order; every copied file, and the main program last.
  const std::vector<std::string> expectedDirectories = {
      "C:\\Program Files\\Orvalis", "C:\\Program Files\\Orvalis\\Dane",
      "C:\\Program Files\\Orvalis\\Dane\\Gramatyka", "C:\\Program Files\\Orvalis\\Dane\\Puste"};
  EXPECT_EQ(run.state.journal.Paths(TRodzajWpisu::KatalogUtworzony), expectedDirectories);
  ASSERT_FALSE(run.state.journal.Paths(TRodzajWpisu::PlikZapisany).empty());
  EXPECT_EQ(run.state.journal.Paths(TRodzajWpisu::PlikZapisany).back(),
            "C:\\Program Files\\Orvalis\\Orvatr.exe");
  EXPECT_EQ(run.state.journal.Paths(TRodzajWpisu::PlikZapisany).size(),
            10u);  // 9 from the CD and the main program

  // Stages in order, the main program's labels, and the shared components.
  const std::vector<TWideString> stages = {GetText(0, 142, false), GetText(0, 143, false),
                                           GetText(0, 144, false)};
  EXPECT_EQ(run.observer.stages, stages);
  const std::pair<TWideString, TWideString> mainLabels = {
      u"Z: D:\\", u"Do: C:\\Program Files\\Orvalis\\Orvatr.exe"};
  EXPECT_NE(std::find(run.observer.filePairs.begin(), run.observer.filePairs.end(), mainLabels),
            run.observer.filePairs.end());
  EXPECT_EQ(ReadHostFile(env.c / "WINDOWS" / "system32" / "comctl32.ocx"), "cd-comctl32-ocx");
  EXPECT_TRUE(env.host.KeyExists(TKorzen::CurrentUser, "SOFTWARE\\Vertal\\Orvala"));
  EXPECT_FALSE(run.observer.closeEnabled);
  EXPECT_TRUE(run.observer.questions.empty());
}

// The file labels show the paths as they are, whatever the interface language and the code
// page: not through a text table's widening (which turns an apostrophe into a prime).
TEST(InstallationRun, FileLabelsWidenPathsWithTheSystemCodePage) {
  const struct {
    TStronaKodowa codePage;
    LanguageId language;
    const char* target;  // UTF-8
  } kCases[] = {
      {TStronaKodowa::Cp1251, kJezykPolski, "C:\\Программы\\Орвала"},
      {TStronaKodowa::Cp1251, kJezykRosyjski, "C:\\Программы\\Орвала"},
      {TStronaKodowa::Cp1250, kJezykRosyjski, "C:\\Zażółć\\gęślą"},
      {TStronaKodowa::Cp1250, kJezykPolski, "C:\\Program Files\\O'Neil"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.target);
    TSrodowiskoInstalacji env;
    env.host.SetAnsiCodePage(c.codePage);
    env.MakeDemoCd();
    TOpcjeInstalacji options = env.Options();
    options.language = c.language;
    options.targetDirectory = c.target;
    TPrzebiegTestowy run(env);
    ASSERT_EQ(run.Run(options), TWynikInstalacji::Success);
    const TWideString mainProgram = Utf8ToUtf16(c.target) + u"\\Orvatr.exe";
    const std::pair<TWideString, TWideString> mainLabels = {
        FormatText(GetText(c.language, 145, false), {TWideString(u"D:\\")}, false, c.language),
        FormatText(GetText(c.language, 146, false), {mainProgram}, false, c.language)};
    EXPECT_NE(std::find(run.observer.filePairs.begin(), run.observer.filePairs.end(), mainLabels),
              run.observer.filePairs.end());
    // Every copied file's label as well.
    const TWideString into = FormatText(GetText(c.language, 146, false),
                                        {Utf8ToUtf16(c.target) + u"\\"}, false, c.language);
    int copyLabels = 0;
    for (const auto& [from, to] : run.observer.filePairs) {
      if (!to.empty() && to != mainLabels.second) {
        ++copyLabels;
        EXPECT_EQ(to.substr(0, into.size()), into) << Utf16ToUtf8(to);
      }
    }
    EXPECT_GT(copyLabels, 0);
  }
}

TEST(InstallationRun, DictionariesOffLeavesTheDictionaryFilesOut) {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  TOpcjeInstalacji options = env.Options();
  options.installDictionaries = false;
  TPrzebiegTestowy run(env);
  ASSERT_EQ(run.Run(options), TWynikInstalacji::Success);
  for (const char* name : {"SlZewRu.exe", "SlZewPl.exe", "ruspol.sz", "Dane/polrus.sz"}) {
    EXPECT_FALSE(std::filesystem::exists(env.Target() / name)) << name;
  }
  EXPECT_TRUE(std::filesystem::exists(env.Target() / "DuzevIv.exe"));
}

TEST(InstallationRun, OnlyExcludedNamesStillBuildTheMainProgramAndFillTheGauge) {
  TSrodowiskoInstalacji env;
  WriteHostFile(env.d / "autorun.inf", "x");
  WriteHostFile(env.d / "Umowapol.txt", "x");
  TPrzebiegTestowy run(env);
  ASSERT_EQ(run.Run(env.Options()), TWynikInstalacji::Success);
  EXPECT_EQ(run.state.journal.Paths(TRodzajWpisu::PlikZapisany),
            std::vector<std::string>{"C:\\Program Files\\Orvalis\\Orvatr.exe"});
  ASSERT_FALSE(run.observer.gauge.empty());
  EXPECT_EQ(run.observer.gauge.back().first, run.observer.gauge.back().second);
  EXPECT_GT(run.observer.gauge.back().first, 0u);
}

TEST(InstallationRun, AGaugeOfMoreThanFourGigabytesMovesTruthfully) {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  TOpcjeInstalacji options = env.Options();
  // A tree of 5 GB as the options page would have measured it (the CD here is small).
  options.requiredBytes = (std::int64_t{5} << 30) + 2'100'000;
  TPrzebiegTestowy run(env);
  ASSERT_EQ(run.Run(options), TWynikInstalacji::Success);
  const TSkalaPostepu scale(options.requiredBytes);
  std::uint32_t previous = 0;
  for (const auto& [maximum, position] : run.observer.gauge) {
    EXPECT_EQ(maximum, scale.Maximum());
    EXPECT_LE(position, maximum);
    EXPECT_GE(position, previous);  // never backwards
    previous = position;
  }
  // Not the low 32 bits (about 1 GB, which the copy of a real 5 GB tree would overrun).
  EXPECT_NE(scale.Maximum(), static_cast<std::uint32_t>(options.requiredBytes));
  EXPECT_LE(scale.Maximum(), kMaksimumWskaznika);
  EXPECT_EQ(run.observer.gauge.back().second, scale.Maximum());
}

// The page at a human rate: on a clock that advances 1 ms at each reading, a file of 256
// blocks moves the gauge a few times (not once a block), forward only, and it ends full.
TEST(InstallationRun, WithinAFileTheGaugeMovesAtAHumanRate) {
  TSrodowiskoInstalacji env;
  WriteHostFile(env.d / "Duzy.dat", std::string(8 << 20, 'z'));  // 256 blocks
  TPrzebiegTestowy run(env);
  run.observer.clockStep = 1;
  ASSERT_EQ(run.Run(env.Options()), TWynikInstalacji::Success);
  EXPECT_EQ(ReadHostFile(env.Target() / "Duzy.dat").size(), std::size_t{8} << 20);
  const std::size_t redraws = 256 / kOkresOdswiezania;
  EXPECT_GE(run.observer.gauge.size(), redraws / 2);
  EXPECT_LE(run.observer.gauge.size(), redraws + 6);
  for (std::size_t i = 1; i < run.observer.gauge.size(); ++i) {
    EXPECT_GE(run.observer.gauge[i].second, run.observer.gauge[i - 1].second);
  }
  EXPECT_EQ(run.observer.gauge.back().second, run.observer.gauge.back().first);
  EXPECT_GE(run.observer.messages, static_cast<int>(redraws / 2));  // Close stays live
}

// A clock that never moves: no file's names are drawn while the copy runs, yet the page ends
// the copy showing the last file copied and the gauge where the copy left it.
TEST(InstallationRun, TheCopyEndsShowingItsLastFileAndGaugePosition) {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  TPrzebiegTestowy run(env);
  run.observer.clockStep = 0;
  TOpcjeInstalacji options = env.Options();
  options.requiredBytes = 10'000'000;
  ASSERT_EQ(run.Run(options), TWynikInstalacji::Success);
  const std::vector<std::string> written = run.state.journal.Paths(TRodzajWpisu::PlikZapisany);
  ASSERT_GE(written.size(), 2u);
  const std::string& last = written[written.size() - 2];
  ASSERT_GE(run.observer.filePairs.size(), 2u);
  EXPECT_EQ(run.observer.filePairs[0].second, u"Do: " + TWideString(last.begin(), last.end()));
  EXPECT_EQ(run.observer.filePairs[1].second, u"Do: C:\\Program Files\\Orvalis\\Orvatr.exe");
  // The gauge: the start, the end of the copy (every byte of the tree), the main program's
  // allowance, full at the end.
  const std::string targetRoot = options.targetDirectory + "\\";
  std::uint64_t copied = 0;
  for (std::size_t i = 0; i + 1 < written.size(); ++i) {
    std::string relative = written[i].substr(targetRoot.size());
    std::replace(relative.begin(), relative.end(), '\\', '/');
    copied += std::filesystem::file_size(env.d / relative);
  }
  const TSkalaPostepu scale(options.requiredBytes);
  ASSERT_GE(run.observer.gauge.size(), 3u);
  EXPECT_EQ(run.observer.gauge[0].second, 0u);
  EXPECT_EQ(run.observer.gauge[1].second, scale.Position(copied));
  EXPECT_EQ(run.observer.gauge.back().second, scale.Maximum());
}

TEST(InstallationRun, ADirectoryBlockedByAFileFailsInsteadOfSkippingItsSubtree) {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  WriteHostFile(env.Target() / "Dane", "a file where the folder belongs");
  TPrzebiegTestowy run(env);
  EXPECT_EQ(run.Run(env.Options()), TWynikInstalacji::Failed);
  EXPECT_FALSE(run.state.success);
  EXPECT_FALSE(run.state.cancelled);
  // Nothing is rolled back after a failure, and the later steps did not run.
  // The target existed before, so nothing was recorded; the blocked folder was not created.
  EXPECT_TRUE(run.state.journal.Paths(TRodzajWpisu::KatalogUtworzony).empty());
  EXPECT_TRUE(std::filesystem::exists(env.Target() / "Dane"));
  EXPECT_FALSE(std::filesystem::exists(env.Target() / "Orvatr.exe"));
  EXPECT_FALSE(env.host.KeyExists(TKorzen::CurrentUser, "SOFTWARE\\Vertal\\Orvala"));
  EXPECT_EQ(run.observer.gauge.back().first, run.observer.gauge.back().second);
}

TEST(InstallationRun, AMissingSourceFolderFails) {
  TSrodowiskoInstalacji env;
  TOpcjeInstalacji options = env.Options();
  options.sourceDirectory = "D:\\nie-ma\\";
  TPrzebiegTestowy run(env);
  EXPECT_EQ(run.Run(options), TWynikInstalacji::Failed);
}

TEST(InstallationRun, ATargetInsideTheSourceIsNotCopiedIntoItself) {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  TOpcjeInstalacji options = env.Options();
  options.targetDirectory = "D:\\Kopia";
  TPrzebiegTestowy run(env);
  ASSERT_EQ(run.Run(options), TWynikInstalacji::Success);
  EXPECT_TRUE(std::filesystem::exists(env.d / "Kopia" / "DuzevIv.exe"));
  EXPECT_FALSE(std::filesystem::exists(env.d / "Kopia" / "Kopia"));
}

// The number of ProcessMessages calls of a complete run, counted on an identical machine.
int MessagesOfACompleteRun() {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  TPrzebiegTestowy run(env);
  EXPECT_EQ(run.Run(env.Options()), TWynikInstalacji::Success);
  return run.observer.messages;
}

constexpr char kWpisDeinstalacji[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvala";

// A confirmed cancel at any check point rolls back before the registry step: no uninstall
// entry is left in either hive for a package whose files are gone.
TEST(InstallationRunCancel, ConfirmedAtAnyMomentLeavesNothingBehindOrCompletes) {
  const int total = MessagesOfACompleteRun();
  ASSERT_GT(total, 20);
  int cancelledRuns = 0;
  int completedRuns = 0;
  for (int pressAt = 1; pressAt <= total; ++pressAt) {
    SCOPED_TRACE("Close pressed at message " + std::to_string(pressAt));
    TSrodowiskoInstalacji env;
    env.MakeDemoCd();
    TPrzebiegTestowy run(env);
    run.observer.onMessages = [pressAt](int n, TStanInstalacji& state) {
      if (n == pressAt && state.running) {
        state.cancelRequested = true;
      }
    };
    const TWynikInstalacji result = run.Run(env.Options());
    if (result == TWynikInstalacji::Cancelled) {
      ++cancelledRuns;
      EXPECT_TRUE(run.state.cancelled);
      EXPECT_FALSE(run.state.success);
      ASSERT_EQ(run.observer.questions.size(), 1u);
      EXPECT_EQ(run.observer.questions[0], GetText(kJezykPolski, 41, false));
      EXPECT_TRUE(Shown(run.observer.stages, 147));
      EXPECT_FALSE(std::filesystem::exists(env.Target()));
      EXPECT_TRUE(std::filesystem::is_empty(env.c / "Program Files"));
      EXPECT_TRUE(run.state.journal.Paths(TRodzajWpisu::PlikZapisany).empty());
      EXPECT_TRUE(run.state.journal.Paths(TRodzajWpisu::KatalogUtworzony).empty());
      // Nothing after the copy phase ran.
      EXPECT_FALSE(Shown(run.observer.stages, 143));
      EXPECT_FALSE(env.host.KeyExists(TKorzen::CurrentUser, "SOFTWARE\\Vertal\\Orvala"));
      for (const TKorzen root : {TKorzen::CurrentUser, TKorzen::LocalMachine}) {
        EXPECT_FALSE(env.host.KeyExists(root, kWpisDeinstalacji));
      }
      EXPECT_EQ(run.observer.gauge.back().first, run.observer.gauge.back().second);
    } else {
      // Pressed after the last check point: the run cannot be cancelled any more.
      ++completedRuns;
      EXPECT_EQ(result, TWynikInstalacji::Success);
      EXPECT_TRUE(run.observer.questions.empty());
      EXPECT_TRUE(env.host.KeyExists(TKorzen::CurrentUser, kWpisDeinstalacji));
    }
  }
  EXPECT_GT(cancelledRuns, 15);
  EXPECT_GT(completedRuns, 0);
}

TEST(InstallationRunCancel, ARollbackDeletesFilesThenDirectoriesDeepestFirst) {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  TPrzebiegTestowy run(env);
  // Press Close once the main program label is up: everything is copied by then.
  run.observer.onMessages = [&run](int, TStanInstalacji& state) {
    if (!run.observer.filePairs.empty() &&
        run.observer.filePairs.back().second == u"Do: C:\\Program Files\\Orvalis\\Orvatr.exe") {
      state.cancelRequested = true;
    }
  };
  ASSERT_EQ(run.Run(env.Options()), TWynikInstalacji::Cancelled);
  // The rollback gauge counted one item per file and directory: 10 files, 4 directories.
  const auto rollbackStart =
      std::find(run.observer.gauge.begin(), run.observer.gauge.end(), std::make_pair(14u, 0u));
  ASSERT_NE(rollbackStart, run.observer.gauge.end());
  EXPECT_EQ(run.observer.gauge.back(), std::make_pair(14u, 14u));
  EXPECT_FALSE(std::filesystem::exists(env.Target()));
  EXPECT_FALSE(std::filesystem::exists(env.c / "WINDOWS" / "system32" / "comctl32.ocx"));
}

TEST(InstallationRunCancel, DeclinedContinuesToSuccess) {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  TPrzebiegTestowy run(env);
  run.observer.answerYes = false;
  run.observer.onMessages = [](int n, TStanInstalacji& state) {
    if (n == 6 || n == 12) {
      state.cancelRequested = true;
    }
  };
  ASSERT_EQ(run.Run(env.Options()), TWynikInstalacji::Success);
  EXPECT_EQ(run.observer.questions.size(), 2u);
  EXPECT_FALSE(run.state.cancelRequested);
  EXPECT_EQ(ReadHostFile(env.Target() / "Dane" / "polrus.sz"), std::string(40'000, 'p'));
  EXPECT_EQ(run.state.journal.Paths(TRodzajWpisu::PlikZapisany).size(), 10u);
  EXPECT_FALSE(Shown(run.observer.stages, 147));
}

TEST(InstallationRunCancel, AnExistingTargetIsKeptWithWhatWasThereBefore) {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  WriteHostFile(env.Target() / "moje.txt", "user data");
  TPrzebiegTestowy run(env);
  run.observer.onMessages = [](int n, TStanInstalacji& state) {
    if (n == 10) {
      state.cancelRequested = true;
    }
  };
  ASSERT_EQ(run.Run(env.Options()), TWynikInstalacji::Cancelled);
  EXPECT_EQ(ReadHostFile(env.Target() / "moje.txt"), "user data");
  EXPECT_FALSE(std::filesystem::exists(env.Target() / "DuzevIv.exe"));
}

}  // namespace
}  // namespace orvala

namespace orvala {
namespace {

std::vector<std::uint8_t> Pseudorandom(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> bytes(size);
  for (std::uint8_t& b : bytes) {
    b = static_cast<std::uint8_t>(random() & 0x3F);
  }
  return bytes;
}

std::string AsText(const std::vector<std::uint8_t>& bytes) {
  return {bytes.begin(), bytes.end()};
}

// Puts a patch of `file` (old -> new) on the CD as `patchName`, listed in `listName`.
void PutPatchOnCd(TSrodowiskoInstalacji& env, const std::string& listName,
                  const std::string& patchName, const std::string& file,
                  const std::vector<std::uint8_t>& oldBytes,
                  const std::vector<std::uint8_t>& newBytes) {
  const latki::TPlikLatki patch = latki::MakePatchFile(oldBytes, newBytes);
  WriteHostFile(env.d / patchName, AsText(patch.packed));
  const std::vector<std::uint8_t> record = latki::EncodeListRecord(
      {patchName, file, patch.oldLength, patch.scriptLength, patch.newLength});
  WriteHostFile(env.d / listName, AsText(record));
}

TEST(InstallationRunPatches, ListsOnTheCdAreAppliedToTheInstalledFilesUpToTheFirstGap) {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  const std::vector<std::uint8_t> oldHelp = Pseudorandom(5000, 1);
  std::vector<std::uint8_t> newHelp = oldHelp;
  newHelp.insert(newHelp.begin() + 2600, {'n', 'o', 'w', 'e'});
  WriteHostFile(env.d / "Trans.chm", AsText(oldHelp));
  PutPatchOnCd(env, "info.pth", "trans.pat", "Trans.chm", oldHelp, newHelp);
  // The dictionary's patch comes in the second list; a fourth list after a gap is not applied.
  const std::vector<std::uint8_t> oldDictionary(70'000, 'r');
  std::vector<std::uint8_t> newDictionary = oldDictionary;
  newDictionary[100] = 'X';
  PutPatchOnCd(env, "info2.pth", "ruspol.pat", "ruspol.sz", oldDictionary, newDictionary);
  PutPatchOnCd(env, "info4.pth", "duzeviv.pat", "DuzevIv.exe", BytesOf("duzeviv"),
               BytesOf("duzeviv-patched"));

  TPrzebiegTestowy run(env);
  ASSERT_EQ(run.Run(env.Options()), TWynikInstalacji::Success);
  EXPECT_EQ(ReadHostFile(env.Target() / "Trans.chm"), AsText(newHelp));
  EXPECT_EQ(ReadHostFile(env.Target() / "ruspol.sz"), AsText(newDictionary));
  EXPECT_EQ(ReadHostFile(env.Target() / "DuzevIv.exe"), "duzeviv");
  EXPECT_FALSE(std::filesystem::exists(env.Target() / "tmp25411.tmp"));
}

TEST(InstallationRunPatches, ABrokenPatchListIsIgnored) {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  WriteHostFile(env.d / "info.pth", "\x01\x02\x03");  // a truncated record
  TPrzebiegTestowy run(env);
  EXPECT_EQ(run.Run(env.Options()), TWynikInstalacji::Success);
}

}  // namespace
}  // namespace orvala
