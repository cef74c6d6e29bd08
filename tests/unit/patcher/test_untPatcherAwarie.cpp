// Fault injection at every step of applying a list: whatever single call fails, each installed
// file is either untouched or fully replaced, never missing or half-written.
#include <gtest/gtest.h>

#include <functional>

#include "engine/untBledy.h"
#include "engine/untPatcher.h"
#include "platform/untPlatformaAwarie.h"
#include "untSrodowiskoLatek.h"

namespace orvala::testy {
namespace {

using platform::TOperacja;

const TBajty kOldA = RandomBytes(70000, 11);
const TBajty kNewA =
    Concat({Slice(kOldA, 0, 30000), RandomBytes(3000, 12), Slice(kOldA, 31000, 39000)});
const TBajty kOldB = RandomBytes(9000, 13);
const TBajty kNewB = Concat({Slice(kOldB, 4000, 5000), Slice(kOldB, 0, 4000), {1, 2, 3}});

class PatchFaults : public TSrodowiskoLatek {
 protected:
  void SetUp() override {
    TSrodowiskoLatek::SetUp();
    WriteList("info.pth",
              {AddPatch("a.pat", "a.dat", kOldA, kNewA), AddPatch("b.pat", "b.dat", kOldB, kNewB)});
  }
  void ResetTargets() {
    Put(Tgt("a.dat"), kOldA);
    Put(Tgt("b.dat"), kOldB);
    std::error_code ec;
    std::filesystem::remove(Tgt(kPlikTymczasowyLatki), ec);
  }
  struct TPrzebieg {
    std::optional<std::int32_t> status;  // nullopt: EInOutError
    int calls = 0;                       // calls of the planned operation
  };
  // One run with `plan` applied to a fresh wrapper.
  TPrzebieg Run(TOperacja operation, const std::function<void(platform::TPlatformaAwarie&)>& plan) {
    ResetTargets();
    platform::TPlatformaAwarie faults(host_);
    plan(faults);
    TPrzebieg result;
    {
      const platform::TZasiegPlatformy scope(faults);
      try {
        result.status = Apply("info.pth");
      } catch (const EInOutError&) {
      }
    }
    result.calls = faults.Calls(operation);
    return result;
  }
  // Each installed file is its old or its new version, whole.
  void ExpectWhole(const std::string& context) {
    ASSERT_TRUE(std::filesystem::exists(Tgt("a.dat"))) << context;
    ASSERT_TRUE(std::filesystem::exists(Tgt("b.dat"))) << context;
    const TBajty a = Get(Tgt("a.dat"));
    const TBajty b = Get(Tgt("b.dat"));
    EXPECT_TRUE(a == kOldA || a == kNewA) << context;
    EXPECT_TRUE(b == kOldB || b == kNewB) << context;
  }
};

TEST_F(PatchFaults, EverySingleFailureLeavesWholeFiles) {
  for (const TOperacja op : {TOperacja::OpenRead, TOperacja::Read, TOperacja::CreateWrite,
                             TOperacja::Write, TOperacja::Close, TOperacja::Replace}) {
    const int calls = Run(op, [](platform::TPlatformaAwarie&) {}).calls;
    ASSERT_GT(calls, 0) << static_cast<int>(op);
    for (int k = 1; k <= calls; ++k) {
      const TPrzebieg r = Run(op, [&](platform::TPlatformaAwarie& f) { f.FailNth(op, k); });
      const std::string context =
          "operation " + std::to_string(static_cast<int>(op)) + ", call " + std::to_string(k);
      ExpectWhole(context);
      if (r.status == kStatusOk) {
        // Only a failing close of a file that was only read loses nothing.
        EXPECT_EQ(op, TOperacja::Close) << context << ": a failed call reported as success";
        EXPECT_EQ(Get(Tgt("a.dat")), kNewA) << context;
        EXPECT_EQ(Get(Tgt("b.dat")), kNewB) << context;
      }
    }
  }
}

TEST_F(PatchFaults, ShortWriteGivesThreeAndKeepsTheInstalledFile) {
  const TPrzebieg r =
      Run(TOperacja::Write, [](platform::TPlatformaAwarie& f) { f.FailNth(TOperacja::Write, 1); });
  EXPECT_EQ(r.status, kStatusNiepelnyPlik);
  EXPECT_EQ(Get(Tgt("a.dat")), kOldA);
  EXPECT_EQ(Get(Tgt("b.dat")), kOldB);  // nothing written after the failure
  EXPECT_TRUE(TemporaryLeft());
}

TEST_F(PatchFaults, FailedReplacementGivesFourWithTheNewFileBeside) {
  const TPrzebieg r = Run(TOperacja::Replace,
                          [](platform::TPlatformaAwarie& f) { f.FailNth(TOperacja::Replace, 2); });
  EXPECT_EQ(r.status, kStatusZamianaNieudana);
  EXPECT_EQ(Get(Tgt("a.dat")), kNewA);
  EXPECT_EQ(Get(Tgt("b.dat")), kOldB);
  EXPECT_EQ(Get(Tgt(kPlikTymczasowyLatki)), kNewB);
}

TEST_F(PatchFaults, FailedCloseOfTheTemporaryFileEndsTheList) {
  const TPrzebieg r = Run(TOperacja::Close,
                          [&](platform::TPlatformaAwarie& f) { f.FailFrom(TOperacja::Close, 1); });
  EXPECT_FALSE(r.status.has_value());
  EXPECT_EQ(Get(Tgt("a.dat")), kOldA);
  EXPECT_EQ(Get(Tgt("b.dat")), kOldB);
}

TEST_F(PatchFaults, NeitherDeletionNorRenamingIsNeeded) {
  const TPrzebieg r = Run(TOperacja::Delete, [](platform::TPlatformaAwarie& f) {
    f.FailFrom(TOperacja::Delete, 1);
    f.FailFrom(TOperacja::Rename, 1);
  });
  EXPECT_EQ(r.status, kStatusOk);
  EXPECT_EQ(Get(Tgt("a.dat")), kNewA);
  EXPECT_EQ(Get(Tgt("b.dat")), kNewB);
  EXPECT_FALSE(TemporaryLeft());
}

}  // namespace
}  // namespace orvala::testy
