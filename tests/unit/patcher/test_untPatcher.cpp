// Patch lists on the host platform: statuses, what is left on disk, and the run's two steps.
#include <gtest/gtest.h>

#include "engine/untBledy.h"
#include "engine/untPatcher.h"
#include "engine/untStanDekodera.h"
#include "untSrodowiskoLatek.h"

namespace orvala::testy {
namespace {

const TBajty kOldA = RandomBytes(5000, 1);
const TBajty kNewA = Concat({Slice(kOldA, 0, 1200), RandomBytes(40, 2), Slice(kOldA, 1300, 3700)});
const TBajty kOldB = RandomBytes(3000, 3);
const TBajty kNewB = Concat({RandomBytes(10, 4), kOldB});
const TBajty kOldC = RandomBytes(2000, 5);
const TBajty kNewC = Concat({Slice(kOldC, 1000, 1000), Slice(kOldC, 0, 1000)});

using PatchList = TSrodowiskoLatek;

TEST_F(PatchList, AppliesAnEntryInPlace) {
  Put(Tgt("Orvatr.exe"), kOldA);
  WriteList("info.pth", {AddPatch("orvatr.pat", "Orvatr.exe", kOldA, kNewA)});
  EXPECT_EQ(Apply("info.pth"), kStatusOk);
  EXPECT_EQ(Get(Tgt("Orvatr.exe")), kNewA);
  EXPECT_FALSE(TemporaryLeft());
  EXPECT_EQ(DecoderState().status, kStatusOk);
}

TEST_F(PatchList, NamesAreResolvedCaseInsensitivelyAndInSubfolders) {
  Put(Tgt("Dane/Slownik.dat"), kOldB);
  WriteList("info.pth", {AddPatch("slownik.pat", "dane\\SLOWNIK.DAT", kOldB, kNewB)});
  EXPECT_EQ(ApplyPatchList("info.pth", "U:", "T:"), kStatusOk);  // backslashes added
  EXPECT_EQ(Get(Tgt("Dane/Slownik.dat")), kNewB);
}

TEST_F(PatchList, EmptyNewFile) {
  Put(Tgt("a.dat"), kOldA);
  WriteList("info.pth", {AddPatch("a.pat", "a.dat", kOldA, {})});
  EXPECT_EQ(Apply("info.pth"), kStatusOk);
  EXPECT_TRUE(Get(Tgt("a.dat")).empty());
}

TEST_F(PatchList, ChecksumMismatchLeavesTheFileUnchanged) {
  TBajty other = kOldA;
  other[100] ^= 0x55;
  Put(Tgt("a.dat"), other);
  WriteList("info.pth", {AddPatch("a.pat", "a.dat", kOldA, kNewA)});
  EXPECT_EQ(Apply("info.pth"), kStatusZlaWersja);
  EXPECT_EQ(Get(Tgt("a.dat")), other);
  EXPECT_FALSE(TemporaryLeft());
}

TEST_F(PatchList, OneByteTooLongFailsBeforeAnyDecoding) {
  // The patch file does not even decode: the length check comes first and gives 2, not 3.
  Put(Tgt("a.dat"), Concat({kOldA, {0}}));
  Put(Upd("a.pat"), {0xDE, 0xAD});
  WriteList("info.pth", {{"a.pat", "a.dat", static_cast<std::uint32_t>(kOldA.size()), 100, 100}});
  EXPECT_EQ(Apply("info.pth"), kStatusZlaDlugosc);
  EXPECT_EQ(Get(Tgt("a.dat")), Concat({kOldA, {0}}));
}

TEST_F(PatchList, AfterAFailedEntryNothingMoreIsWritten) {
  Put(Tgt("a.dat"), kOldA);
  TBajty wrongB = kOldB;
  wrongB[0] ^= 1;
  Put(Tgt("b.dat"), wrongB);
  Put(Tgt("c.dat"), kOldC);
  WriteList("info.pth",
            {AddPatch("a.pat", "a.dat", kOldA, kNewA), AddPatch("b.pat", "b.dat", kOldB, kNewB),
             AddPatch("c.pat", "c.dat", kOldC, kNewC)});
  EXPECT_EQ(Apply("info.pth"), kStatusZlaWersja);
  EXPECT_EQ(Get(Tgt("a.dat")), kNewA);
  EXPECT_EQ(Get(Tgt("b.dat")), wrongB);
  EXPECT_EQ(Get(Tgt("c.dat")), kOldC);
}

TEST_F(PatchList, ALaterLengthFailureStillSetsTwo) {
  TBajty wrongA = kOldA;
  wrongA[0] ^= 1;
  Put(Tgt("a.dat"), wrongA);
  Put(Tgt("b.dat"), Slice(kOldB, 0, 100));
  WriteList("info.pth",
            {AddPatch("a.pat", "a.dat", kOldA, kNewA), AddPatch("b.pat", "b.dat", kOldB, kNewB)});
  EXPECT_EQ(Apply("info.pth"), kStatusZlaDlugosc);
}

TEST_F(PatchList, AfterAFailedEntryLaterPatchFilesAreStillLoaded) {
  Put(Tgt("a.dat"), Slice(kOldA, 0, 10));
  WriteList("info.pth",
            {AddPatch("a.pat", "a.dat", kOldA, kNewA), {"missing.pat", "b.dat", 1, 1, 1}});
  EXPECT_THROW(Apply("info.pth"), EInOutError);
}

TEST_F(PatchList, EmptyAndMissingLists) {
  Put(Upd("info.pth"), {});
  EXPECT_EQ(Apply("info.pth"), kStatusOk);
  EXPECT_EQ(Apply("info2.pth"), kStatusBrakListy);
  EXPECT_EQ(DecoderState().status, kStatusBrakListy);
  EXPECT_EQ(ApplyPatchList("info.pth", "U:\\nowhere", "T:\\"), kStatusBrakListy);
}

TEST_F(PatchList, MissingHiddenOrUnusableInstalledFilesFailWithTwo) {
  WriteList("info.pth", {AddPatch("a.pat", "a.dat", kOldA, kNewA)});
  EXPECT_EQ(Apply("info.pth"), kStatusZlaDlugosc);

  Put(Tgt("a.dat"), kOldA);
  host_.SetAttributes("T:\\a.dat", platform::kAttrHidden);
  EXPECT_EQ(Apply("info.pth"), kStatusZlaDlugosc);
  EXPECT_EQ(Get(Tgt("a.dat")), kOldA);

  // A folder of that name, a name leaving the target folder, the temporary file's own name.
  std::filesystem::create_directories(Tgt("dir.dat"));
  Put(root_ / "outside.dat", kOldA);
  Put(Tgt(kPlikTymczasowyLatki), kOldA);
  for (const char* name : {"dir.dat", "..\\outside.dat", "T:\\a.dat", "\\a.dat", "TMP25411.TMP"}) {
    WriteList("info.pth", {AddPatch("a.pat", name, kOldA, kNewA)});
    EXPECT_EQ(Apply("info.pth"), kStatusZlaDlugosc) << name;
  }
  EXPECT_EQ(Get(root_ / "outside.dat"), kOldA);
  EXPECT_EQ(Get(Tgt(kPlikTymczasowyLatki)), kOldA);
}

TEST_F(PatchList, MissingOrUnusablePatchFilesRaise) {
  Put(Tgt("a.dat"), kOldA);
  for (const char* name : {"nothere.pat", "..\\a.pat", ""}) {
    WriteList("info.pth", {{name, "a.dat", static_cast<std::uint32_t>(kOldA.size()), 10, 10}});
    EXPECT_THROW(Apply("info.pth"), EInOutError) << name;
  }
  Put(Upd("hidden.pat"), pakowacz::PackPart(ScriptHeader(kOldA, 1)));
  host_.SetAttributes("U:\\hidden.pat", platform::kAttrHidden);
  WriteList("info.pth", {{"hidden.pat", "a.dat", static_cast<std::uint32_t>(kOldA.size()), 5, 0}});
  EXPECT_THROW(Apply("info.pth"), EInOutError);
  EXPECT_EQ(Get(Tgt("a.dat")), kOldA);
}

TEST_F(PatchList, TruncatedRecordRaisesAfterTheEntriesBeforeIt) {
  Put(Tgt("b.dat"), kOldB);
  const TBajty first = latki::EncodeListRecord(AddPatch("a.pat", "a.dat", kOldA, kNewA));
  const TBajty second = latki::EncodeListRecord(AddPatch("b.pat", "b.dat", kOldB, kNewB));
  for (const std::size_t cut : {std::size_t{1}, std::size_t{7}, second.size() - 1}) {
    Put(Tgt("a.dat"), kOldA);
    Put(Upd("cut.pth"), Concat({first, Slice(second, 0, cut)}));
    EXPECT_THROW(Apply("cut.pth"), EInOutError) << cut;
    EXPECT_EQ(Get(Tgt("a.dat")), kNewA) << cut;
    EXPECT_EQ(Get(Tgt("b.dat")), kOldB) << cut;
  }
}

// Scripts outside the limits fail their entry with 3 and write nothing.
TEST_F(PatchList, MalformedScriptsFailWithThreeAndWriteNothing) {
  const auto oldLength = static_cast<std::uint32_t>(kOldA.size());
  const TBajty header = ScriptHeader(kOldA, 0x01);
  struct TPrzypadek {
    const char* what;
    TBajty script;
    std::uint32_t newLength;
  };
  const TPrzypadek cases[] = {
      {"block beyond the old file", Concat({header, {0x01, 0x89, 0x13, 0, 0}}), 256},
      {"more than the new length", Concat({header, {'a', 'b', 'c'}}), 2},
      {"ends after an escape byte", Concat({header, {'a', 0x01}}), 1},
      {"ends inside a block offset", Concat({header, {0x01, 0x10, 0x00}}), 256},
      {"no escape byte", Slice(header, 0, 4), 0},
  };
  for (const TPrzypadek& c : cases) {
    Put(Tgt("a.dat"), kOldA);
    WriteList("info.pth", {AddScript("a.pat", "a.dat", c.script, oldLength, c.newLength)});
    EXPECT_EQ(Apply("info.pth"), kStatusNiepelnyPlik) << c.what;
    EXPECT_EQ(Get(Tgt("a.dat")), kOldA) << c.what;
    EXPECT_FALSE(TemporaryLeft()) << c.what;
  }
}

// The new length is the output's capacity: a script that yields fewer bytes (none at all
// included) is applied and its bytes become the new file.
TEST_F(PatchList, OutputUpToTheNewLengthIsTheNewFile) {
  const auto oldLength = static_cast<std::uint32_t>(kOldA.size());
  const TBajty header = ScriptHeader(kOldA, 0x01);
  struct TPrzypadek {
    TBajty commands;
    std::uint32_t newLength;
  };
  const TPrzypadek cases[] = {
      {{'a', 'b', 'c'}, 3}, {{'a', 'b', 'c'}, 4}, {{'a'}, 0xFFFFFFFFu}, {{}, 5}};
  for (const TPrzypadek& c : cases) {
    Put(Tgt("a.dat"), kOldA);
    WriteList("info.pth",
              {AddScript("a.pat", "a.dat", Concat({header, c.commands}), oldLength, c.newLength)});
    EXPECT_EQ(Apply("info.pth"), kStatusOk) << c.newLength;
    EXPECT_EQ(Get(Tgt("a.dat")), c.commands) << c.newLength;
    EXPECT_FALSE(TemporaryLeft()) << c.newLength;
  }
}

TEST_F(PatchList, PatchFilesThatDoNotDecodeFailWithThree) {
  Put(Tgt("a.dat"), kOldA);
  const TBajty script = Concat({ScriptHeader(kOldA, 0x01), {'a', 'b'}});
  const auto oldLength = static_cast<std::uint32_t>(kOldA.size());
  // Garbage, a packed script cut short, and a script longer than the record's script length.
  Put(Upd("bad.pat"), {0xFF, 0x00, 0x12});
  TBajty cut = pakowacz::PackPart(script);
  cut.pop_back();
  Put(Upd("cut.pat"), cut);
  Put(Upd("long.pat"), pakowacz::PackPart(script));
  WriteList("info.pth", {{"bad.pat", "a.dat", oldLength, 7, 2}});
  EXPECT_EQ(Apply("info.pth"), kStatusNiepelnyPlik);
  WriteList("info.pth", {{"cut.pat", "a.dat", oldLength, 7, 2}});
  EXPECT_EQ(Apply("info.pth"), kStatusNiepelnyPlik);
  WriteList("info.pth", {{"long.pat", "a.dat", oldLength, 6, 2}});
  EXPECT_EQ(Apply("info.pth"), kStatusNiepelnyPlik);
  EXPECT_EQ(Get(Tgt("a.dat")), kOldA);
  WriteList("info.pth", {{"long.pat", "a.dat", oldLength, 7, 2}});
  EXPECT_EQ(Apply("info.pth"), kStatusOk);
  EXPECT_EQ(Get(Tgt("a.dat")), (TBajty{'a', 'b'}));
}

// --- The run's two steps -------------------------------------------------------------------

using PatchRun = TSrodowiskoLatek;

TEST(PatchRunNames, ListNamesAndUpdateDirectory) {
  EXPECT_EQ(PatchScriptListName(1), "info.pth");
  EXPECT_EQ(PatchScriptListName(2), "info2.pth");
  EXPECT_EQ(PatchScriptListName(12), "info12.pth");
  EXPECT_EQ(EffectiveUpdateDirectory("", "D:\\"), "D:\\");
  EXPECT_EQ(EffectiveUpdateDirectory("E:\\Aktualizacja", "D:\\"), "E:\\Aktualizacja");
}

TEST_F(PatchRun, AppliesConsecutiveListsUpToTheFirstMissingName) {
  Put(Tgt("a.dat"), kOldA);
  Put(Tgt("b.dat"), kOldB);
  Put(Tgt("c.dat"), kOldC);
  WriteList("info.pth", {AddPatch("a.pat", "a.dat", kOldA, kNewA)});
  WriteList("info2.pth", {AddPatch("b.pat", "b.dat", kOldB, kNewB)});
  WriteList("info4.pth", {AddPatch("c.pat", "c.dat", kOldC, kNewC)});
  ApplyPatchScripts("U:\\", "T:");
  EXPECT_EQ(Get(Tgt("a.dat")), kNewA);
  EXPECT_EQ(Get(Tgt("b.dat")), kNewB);
  EXPECT_EQ(Get(Tgt("c.dat")), kOldC);
}

TEST_F(PatchRun, InfoThreeWithoutInfoTwoIsNotApplied) {
  Put(Tgt("a.dat"), kOldA);
  Put(Tgt("c.dat"), kOldC);
  WriteList("info.pth", {AddPatch("a.pat", "a.dat", kOldA, kNewA)});
  WriteList("info3.pth", {AddPatch("c.pat", "c.dat", kOldC, kNewC)});
  ApplyPatchScripts("U:", "T:");
  EXPECT_EQ(Get(Tgt("a.dat")), kNewA);
  EXPECT_EQ(Get(Tgt("c.dat")), kOldC);
}

TEST_F(PatchRun, AFailingListDoesNotStopTheNextOne) {
  Put(Tgt("b.dat"), kOldB);
  WriteList("info.pth", {{"missing.pat", "a.dat", 1, 1, 1}});  // raises
  WriteList("info2.pth", {AddPatch("b.pat", "b.dat", kOldB, kNewB)});
  EXPECT_NO_THROW(ApplyPatchScripts("U:", "T:"));
  EXPECT_EQ(Get(Tgt("b.dat")), kNewB);
}

TEST_F(PatchRun, ListsOnTheSourceMediumWhenNoUpdateDirectoryIsSet) {
  Put(Tgt("a.dat"), kOldA);
  WriteList("info.pth", {AddPatch("a.pat", "a.dat", kOldA, kNewA)});
  ApplyPatchScripts(EffectiveUpdateDirectory("", "U:\\"), "T:");
  EXPECT_EQ(Get(Tgt("a.dat")), kNewA);
}

TEST_F(PatchRun, EditionPatchesApplyNothingInThisEdition) {
  Put(Tgt("a.dat"), kOldA);
  WriteList("info.pth", {AddPatch("a.pat", "a.dat", kOldA, kNewA)});
  DecoderState().status = 99;
  ApplyEditionPatches("U:\\", "T:");
  EXPECT_EQ(DecoderState().status, 99);
  EXPECT_EQ(Get(Tgt("a.dat")), kOldA);
}

}  // namespace
}  // namespace orvala::testy
