// The installation run inside one file: Close pressed in the middle of a large file is answered
// there (Yes deletes the partly written file and rolls back, No goes on from the same byte), and
// a file the target already holds with the CD's bytes is neither replaced nor kept aside.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

#include "engine/untBlokKopii.h"
#include "engine/untPrzebiegInstalacji.h"
#include "platform/untPlatformaAwarie.h"
#include "untSrodowiskoInstalacji.h"

namespace orvala {
namespace {

namespace fs = std::filesystem;
using platform::TOperacja;
using platform::TPlatformaAwarie;
using platform::TZasiegPlatformy;
using testy::ReadHostFile;
using testy::TObserwatorTestowy;
using testy::TSrodowiskoInstalacji;
using testy::WriteHostFile;

constexpr std::size_t kDuzy = std::size_t{8} << 20;  // 256 blocks

// Remembers how many bytes the run had done when it asked.
class TObserwatorPytan : public TObserwatorTestowy {
 public:
  using TObserwatorTestowy::TObserwatorTestowy;
  bool AskYesNo(const TWideString& text) override {
    bytesAtQuestion.push_back(bytesDone ? *bytesDone : 0);
    return TObserwatorTestowy::AskYesNo(text);
  }
  const std::uint64_t* bytesDone = nullptr;
  std::vector<std::uint64_t> bytesAtQuestion;
};

struct TDuzyPlik {
  TSrodowiskoInstalacji env;
  TStanInstalacji state;
  TObserwatorPytan observer{state};
  std::string big;

  explicit TDuzyPlik(bool previousInstallation) {
    big.resize(kDuzy);
    for (std::size_t i = 0; i < big.size(); ++i) {
      big[i] = static_cast<char>(i * 7 / 5);
    }
    WriteHostFile(env.d / "Slownik.sz", big);
    WriteHostFile(env.d / "maly.txt", "small");
    fs::create_directories(env.Target());
    if (previousInstallation) {
      WriteHostFile(env.Target() / "Slownik.sz", "the previous dictionary");
    } else {
      state.journal.DirectoryCreated(env.Options().targetDirectory);
    }
    observer.bytesDone = &state.bytesDone;
    // Close pressed once, a megabyte into the large file.
    observer.onMessages = [pressed = false](int, TStanInstalacji& s) mutable {
      if (s.running && !pressed && s.bytesDone > (1u << 20)) {
        s.cancelRequested = pressed = true;
      }
    };
  }
  TWynikInstalacji Run() { return RunInstallation(env.Options(), state, observer); }
};

TEST(InstallationRunInsideAFile, CloseIsAnsweredBeforeTheFileEnds) {
  for (const bool previous : {false, true}) {
    for (const bool yes : {true, false}) {
      SCOPED_TRACE(std::string(previous ? "over a previous file, " : "new folder, ") +
                   (yes ? "Yes" : "No"));
      TDuzyPlik run(previous);
      run.observer.answerYes = yes;
      const TWynikInstalacji result = run.Run();
      ASSERT_EQ(run.observer.bytesAtQuestion.size(), 1u);
      // Asked at the next block, not at the end of the file; every block here takes a second
      // by the run's clock, so the blocks stay at their smallest.
      EXPECT_LE(run.observer.bytesAtQuestion[0], (1u << 20) + 2 * kNajmniejszyBlokKopii);
      const fs::path big = run.env.Target() / "Slownik.sz";
      if (yes) {
        EXPECT_EQ(result, TWynikInstalacji::Cancelled);
        if (previous) {
          EXPECT_EQ(ReadHostFile(big), "the previous dictionary");
          EXPECT_EQ(
              std::distance(fs::directory_iterator(run.env.Target()), fs::directory_iterator()), 1);
        } else {
          EXPECT_FALSE(fs::exists(run.env.Target()));
        }
        EXPECT_TRUE(run.state.journal.Paths(TRodzajWpisu::PlikOdlozony).empty());
      } else {
        // The file goes on from the byte it had reached.
        EXPECT_EQ(result, TWynikInstalacji::Success);
        EXPECT_TRUE(ReadHostFile(big) == run.big);
        EXPECT_FALSE(fs::exists(run.env.Target() / "Slownik.sz.orvala-kopia"));
      }
    }
  }
}

// The target as a finished installation of the same CD left it, then changed by `change`.
struct TPonownieTaSama {
  TSrodowiskoInstalacji env;
  TStanInstalacji state;
  TObserwatorTestowy observer{state};

  explicit TPonownieTaSama(const std::function<void(TSrodowiskoInstalacji&)>& change) {
    env.MakeDemoCd();
    TStanInstalacji first;
    TObserwatorTestowy quiet(first);
    fs::create_directories(env.Target());
    EXPECT_EQ(RunInstallation(env.Options(), first, quiet), TWynikInstalacji::Success);
    change(env);
  }
  TWynikInstalacji Run() { return RunInstallation(env.Options(), state, observer); }
};

// Names compared as Windows NT's file systems compare them, upper-cased (the host folds them to
// lower case): the folder's files must be found by either fold.
class TPlatformaWielkichLiter : public TPlatformaAwarie {
 public:
  using TPlatformaAwarie::TPlatformaAwarie;
  std::string FoldPath(std::string_view path) override {
    std::string folded = TPlatformaAwarie::FoldPath(path);
    for (char& c : folded) {
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return folded;
  }
};

TEST(InstallationRunOverTheSameFiles, OnlyFilesThatDifferAreReplaced) {
  // After a first installation the tree differs from the CD in the two programs the special
  // versions replace (Orvatr.exe, TrIntRu.exe); TrPlikRu.exe and DeInstalator.exe come only
  // from the special versions. So four files are kept aside, plus those a case changes.
  struct TPrzypadek {
    const char* name;
    std::function<void(TSrodowiskoInstalacji&)> change;
    int renames;
  };
  const std::string dane = "C:\\Program Files\\Orvalis\\Dane\\polrus.sz";
  const std::vector<TPrzypadek> cases = {
      {"unchanged", [](TSrodowiskoInstalacji&) {}, 4},
      {"same size, last byte differs",
       [](TSrodowiskoInstalacji& e) {
         WriteHostFile(e.Target() / "Dane" / "polrus.sz", std::string(39'999, 'p') + "q");
       },
       5},
      {"same bytes, read-only",
       [dane](TSrodowiskoInstalacji& e) { e.host.SetAttributes(dane, platform::kAttrReadOnly); },
       5},
      {"longer",
       [](TSrodowiskoInstalacji& e) { WriteHostFile(e.Target() / "Trans.chm", "help and more"); },
       5},
  };
  for (const bool upper : {false, true}) {
    for (const TPrzypadek& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (upper ? ", names folded to upper case" : ""));
      TPonownieTaSama run(c.change);
      TPlatformaAwarie lower(run.env.host);
      TPlatformaWielkichLiter upperCase(run.env.host);
      TPlatformaAwarie& counts = upper ? upperCase : lower;
      TZasiegPlatformy scope(counts);
      ASSERT_EQ(run.Run(), TWynikInstalacji::Success);
      EXPECT_EQ(counts.Calls(TOperacja::Rename), c.renames);
      EXPECT_EQ(ReadHostFile(run.env.Target() / "Dane" / "polrus.sz"), std::string(40'000, 'p'));
      EXPECT_EQ(ReadHostFile(run.env.Target() / "Trans.chm"), "help");
      const auto polrus = run.env.host.FindEntry(dane);
      ASSERT_TRUE(polrus.has_value());
      EXPECT_EQ(polrus->attributes & platform::kAttrReadOnly, 0u);
    }
  }
}

// A cancel anywhere in a run over the same files gives the target back as it was: the files
// left in place are not deleted as if the run had written them.
TEST(InstallationRunOverTheSameFiles, ACancelAtAnyMomentLeavesThePreviousInstallation) {
  const auto listing = [](TSrodowiskoInstalacji& env) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& e : fs::recursive_directory_iterator(env.Target())) {
      out.emplace_back(e.path().string(), e.is_regular_file() ? ReadHostFile(e.path()) : "");
    }
    std::sort(out.begin(), out.end());
    return out;
  };
  int cancelled = 0;
  for (int pressAt = 1; pressAt < 40; pressAt += 2) {
    SCOPED_TRACE(pressAt);
    TPonownieTaSama run([](TSrodowiskoInstalacji&) {});
    const auto before = listing(run.env);
    run.observer.onMessages = [pressAt](int n, TStanInstalacji& s) {
      if (n == pressAt && s.running) {
        s.cancelRequested = true;
      }
    };
    if (run.Run() == TWynikInstalacji::Cancelled) {
      ++cancelled;
      EXPECT_EQ(listing(run.env), before);
    }
  }
  EXPECT_GT(cancelled, 5);
}

}  // namespace
}  // namespace orvala
