// The installation run when the system fails it: each file, directory and registry operation
// of the run failed in turn through the fault-injecting platform.
#include <gtest/gtest.h>

#include "engine/untPrzebiegInstalacji.h"
#include "platform/untPlatformaAwarie.h"
#include "textutil/untKodowanie.h"
#include "untSrodowiskoInstalacji.h"

namespace orvala {
namespace {

using platform::TOperacja;
using platform::TPlatformaAwarie;
using platform::TZasiegPlatformy;
using testy::TObserwatorTestowy;
using testy::TSrodowiskoInstalacji;

const TWideString kEtykietaProgramu = u"Do: C:\\Program Files\\Orvalis\\Orvatr.exe";

struct TWynikAwarii {
  TWynikInstalacji result;
  std::string lastTarget;  // the file named by the last "Do:" label, as a Windows path
  bool lastTargetExists = false;
  bool gaugeFull = false;
  std::size_t groupLinks = 0;
};

// Calls of `operation` made before the main program is built, and in the whole run.
struct TLiczby {
  int beforeMainProgram = -1;
  int total = 0;
};

class FaultyRun {
 public:
  // One run of the demo CD on a fresh machine; `plan` arranges the failures.
  static TWynikAwarii Run(const std::function<void(TPlatformaAwarie&)>& plan,
                          TLiczby* counts = nullptr, TOperacja counted = TOperacja::Read) {
    TSrodowiskoInstalacji env;
    env.MakeDemoCd();
    const TOpcjeInstalacji options = env.Options();
    std::filesystem::create_directories(env.Target());
    TPlatformaAwarie faults(env.host);
    TZasiegPlatformy scope(faults);
    plan(faults);
    TStanInstalacji state;
    state.journal.DirectoryCreated(options.targetDirectory);
    TObserwatorTestowy observer(state);
    if (counts != nullptr) {
      observer.onMessages = [&](int, TStanInstalacji&) {
        if (counts->beforeMainProgram < 0 && !observer.filePairs.empty() &&
            observer.filePairs.back().second == kEtykietaProgramu) {
          counts->beforeMainProgram = faults.Calls(counted);
        }
      };
    }
    TWynikAwarii out;
    out.result = RunInstallation(options, state, observer);
    if (counts != nullptr) {
      counts->total = faults.Calls(counted);
    }
    for (auto it = observer.filePairs.rbegin(); it != observer.filePairs.rend(); ++it) {
      if (it->second.starts_with(u"Do: ")) {
        std::string path;
        for (const char16_t unit : it->second.substr(4)) {
          path += static_cast<char>(unit);  // the paths here are plain ASCII
        }
        out.lastTarget = path;
        out.lastTargetExists = env.host.FileExists(path);
        break;
      }
    }
    out.gaugeFull =
        !observer.gauge.empty() && observer.gauge.back().first == observer.gauge.back().second;
    for (const auto& link : env.host.Links()) {
      out.groupLinks += link.linkPath.find(u"Orvala Pakiet") != TWideString::npos ? 1 : 0;
    }
    return out;
  }

  static TLiczby Count(TOperacja operation, bool usedByTheCopy = true) {
    TLiczby counts;
    const TWynikAwarii clean = Run([](TPlatformaAwarie&) {}, &counts, operation);
    EXPECT_EQ(clean.result, TWynikInstalacji::Success);
    EXPECT_EQ(counts.beforeMainProgram > 0, usedByTheCopy);
    return counts;
  }

  static TWynikAwarii FailNth(TOperacja operation, int k) {
    return Run([=](TPlatformaAwarie& faults) { faults.FailNth(operation, k); });
  }
};

TEST(InstallationRunFaults, EveryOpenAndReadOfTheCopyEndsInFailure) {
  for (const TOperacja operation : {TOperacja::OpenRead, TOperacja::Read}) {
    const TLiczby counts = FaultyRun::Count(operation);
    for (int k = 1; k <= counts.total; ++k) {
      SCOPED_TRACE("operation " + std::to_string(static_cast<int>(operation)) + " call " +
                   std::to_string(k));
      const TWynikAwarii r = FaultyRun::FailNth(operation, k);
      EXPECT_EQ(r.result, TWynikInstalacji::Failed);
      EXPECT_FALSE(r.lastTargetExists) << r.lastTarget;  // no half-copied file left behind
      EXPECT_TRUE(r.gaugeFull);
    }
  }
}

TEST(InstallationRunFaults, AShortWriteOfTheCopyFailsAndRemovesThePartlyWrittenFile) {
  const TLiczby counts = FaultyRun::Count(TOperacja::Write);
  for (int k = 1; k <= counts.total; ++k) {
    SCOPED_TRACE("write " + std::to_string(k));
    const TWynikAwarii r = FaultyRun::FailNth(TOperacja::Write, k);
    if (k <= counts.beforeMainProgram) {
      EXPECT_EQ(r.result, TWynikInstalacji::Failed);
      EXPECT_FALSE(r.lastTargetExists) << r.lastTarget;
    } else {
      // A payload part that cannot be appended is skipped; a special version likewise.
      EXPECT_EQ(r.result, TWynikInstalacji::Success);
    }
    EXPECT_TRUE(r.gaugeFull);
  }
}

TEST(InstallationRunFaults, CreatingATargetFileOrTheMainProgramFails) {
  const TLiczby counts = FaultyRun::Count(TOperacja::CreateWrite);
  for (int k = 1; k <= counts.total; ++k) {
    SCOPED_TRACE("create " + std::to_string(k));
    const TWynikAwarii r = FaultyRun::FailNth(TOperacja::CreateWrite, k);
    // The copy's files and then the main program's own; the special versions after it are
    // optional items.
    EXPECT_EQ(r.result, k <= counts.beforeMainProgram + 1 ? TWynikInstalacji::Failed
                                                          : TWynikInstalacji::Success);
  }
}

TEST(InstallationRunFaults, AFailedCloseOfAWrittenFileFailsTheRun) {
  const TLiczby counts = FaultyRun::Count(TOperacja::Close);
  ASSERT_EQ(counts.beforeMainProgram % 2, 0);  // each copied file: target, then source
  for (int k = 1; k <= counts.total; ++k) {
    SCOPED_TRACE("close " + std::to_string(k));
    const TWynikAwarii r = FaultyRun::FailNth(TOperacja::Close, k);
    if (k <= counts.beforeMainProgram) {
      const bool targetClose = k % 2 == 1;
      EXPECT_EQ(r.result, targetClose ? TWynikInstalacji::Failed : TWynikInstalacji::Success);
      if (targetClose) {
        EXPECT_FALSE(r.lastTargetExists) << r.lastTarget;
      }
    } else if (k == counts.beforeMainProgram + 1) {
      EXPECT_EQ(r.result, TWynikInstalacji::Failed);  // the main program's close
    } else {
      EXPECT_EQ(r.result, TWynikInstalacji::Success);
    }
  }
}

TEST(InstallationRunFaults, ADirectoryThatCannotBeCreatedFailsTheCopy) {
  const TLiczby counts = FaultyRun::Count(TOperacja::CreateDirectory);
  for (int k = 1; k <= counts.total; ++k) {
    SCOPED_TRACE("create directory " + std::to_string(k));
    const TWynikAwarii r = FaultyRun::FailNth(TOperacja::CreateDirectory, k);
    if (k <= counts.beforeMainProgram) {
      EXPECT_EQ(r.result, TWynikInstalacji::Failed);
    } else {
      // The Start-menu group folder: the run goes on without the group's shortcuts.
      EXPECT_EQ(r.result, TWynikInstalacji::Success);
      EXPECT_EQ(r.groupLinks, 0u);
    }
  }
}

TEST(InstallationRunFaults, RegistryWritesFailOnlyTheirPassOrInTheComponentKeysTheRun) {
  const TLiczby counts = FaultyRun::Count(TOperacja::RegistryWrite, false);
  // HKEY_CURRENT_USER: five package values and the uninstall entry's nine; HKEY_LOCAL_MACHINE:
  // five; then one value for each of the eight component keys (Arial: no font values).
  constexpr int kPakiet = 5 + 9 + 5;
  ASSERT_EQ(counts.total, kPakiet + 8);
  for (int k = 1; k <= counts.total; ++k) {
    SCOPED_TRACE("registry write " + std::to_string(k));
    const TWynikAwarii r = FaultyRun::FailNth(TOperacja::RegistryWrite, k);
    EXPECT_EQ(r.result, k <= kPakiet ? TWynikInstalacji::Success : TWynikInstalacji::Failed);
  }
}

TEST(InstallationRunFaults, AComponentKeyThatCannotBeOpenedIsSkipped) {
  const TWynikAwarii r =
      FaultyRun::Run([](TPlatformaAwarie& faults) { faults.FailFrom(TOperacja::RegistryOpen, 1); });
  EXPECT_EQ(r.result, TWynikInstalacji::Success);
}

TEST(InstallationRunFaults, ARollbackWhoseDeletionsFailStillEndsCancelled) {
  TSrodowiskoInstalacji env;
  env.MakeDemoCd();
  const TOpcjeInstalacji options = env.Options();
  std::filesystem::create_directories(env.Target());
  TPlatformaAwarie faults(env.host);
  TZasiegPlatformy scope(faults);
  // The second file to go stays through every try (a first failure alone is tried again).
  for (int t = 2; t <= 7; ++t) {
    faults.FailNth(TOperacja::Delete, t);
  }
  faults.FailNth(TOperacja::RemoveDirectory, 1);
  TStanInstalacji state;
  state.journal.DirectoryCreated(options.targetDirectory);
  TObserwatorTestowy observer(state);
  observer.answers = {true, false};  // Yes to cancel; No to the question about the held file
  observer.onMessages = [](int n, TStanInstalacji& s) {
    if (n == 15) {
      s.cancelRequested = true;
    }
  };
  EXPECT_EQ(RunInstallation(options, state, observer), TWynikInstalacji::Cancelled);
  EXPECT_TRUE(state.journal.Paths(TRodzajWpisu::PlikZapisany).empty());
  EXPECT_TRUE(state.journal.Paths(TRodzajWpisu::KatalogUtworzony).empty());
  // The one file that could not go keeps its folders; every other file is gone.
  std::size_t left = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(env.Target())) {
    left += entry.is_regular_file() ? 1 : 0;
  }
  EXPECT_EQ(left, 1u);
}

}  // namespace
}  // namespace orvala
