// Patch scripts on buffers (RunPatchScript) and on the working state (ApplyPatchScript).
#include <gtest/gtest.h>

#include "engine/untPatcher.h"
#include "engine/untStanDekodera.h"
#include "untSrodowiskoLatek.h"

namespace orvala::testy {
namespace {

struct TWynik {
  TBladSkryptu error;
  TBajty bytes;
};

TWynik RunScript(const TBajty& script, const TBajty& oldFile, std::size_t capacity) {
  TBajty out(capacity);
  const TWynikSkryptu r = RunPatchScript(script, oldFile, out);
  out.resize(r.error == TBladSkryptu::None ? r.produced : 0);
  return {r.error, out};
}

TBajty Block(std::uint32_t offset) {
  return {static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(offset >> 8),
          static_cast<std::uint8_t>(offset >> 16), static_cast<std::uint8_t>(offset >> 24)};
}

const TBajty kOld = RandomBytes(1000, 7);

TEST(PatchScript, LiteralsEscapedEscapeAndBlocks) {
  const std::uint8_t e = 0x01;
  // "AB", a literal E, the block at offset 0, "C", the block at offset 744 (the last one).
  const TBajty script =
      Concat({ScriptHeader(kOld, e), {'A', 'B', e, e, e}, Block(0), {'C', e}, Block(744)});
  const TWynik r = RunScript(script, kOld, 4 + 512);
  ASSERT_EQ(r.error, TBladSkryptu::None);
  EXPECT_EQ(r.bytes, Concat({{'A', 'B', e}, Slice(kOld, 0, 256), {'C'}, Slice(kOld, 744, 256)}));
}

TEST(PatchScript, EscapeFollowedByEscapeIsAlwaysALiteral) {
  // E E then three zero bytes: a literal E and three literals, never a block at an offset whose
  // lowest byte is E.
  const std::uint8_t e = 0x00;
  const TWynik r = RunScript(Concat({ScriptHeader(kOld, e), {e, e, 0x05, 0x06, 0x07}}), kOld, 10);
  ASSERT_EQ(r.error, TBladSkryptu::None);
  EXPECT_EQ(r.bytes, (TBajty{0x00, 0x05, 0x06, 0x07}));
}

TEST(PatchScript, ScriptOfOnlyAHeaderYieldsAnEmptyFile) {
  const TWynik r = RunScript(ScriptHeader(kOld, 0x42), kOld, 0);
  EXPECT_EQ(r.error, TBladSkryptu::None);
  EXPECT_TRUE(r.bytes.empty());
}

TEST(PatchScript, ChecksumIsTheByteSumOfTheOldFile) {
  EXPECT_EQ(PatchChecksum(TBajty{}), 0u);
  EXPECT_EQ(PatchChecksum(TBajty{0xFF, 0xFF, 0x01}), 0x1FFu);
  TBajty script = Concat({ScriptHeader(kOld, 0x01), {'x'}});
  script[0] ^= 1;
  EXPECT_EQ(RunScript(script, kOld, 10).error, TBladSkryptu::ChecksumMismatch);
  // Only the byte sum counts: the same bytes in another order pass the check.
  const TBajty oldFile{1, 2, 3};
  EXPECT_EQ(RunScript(Concat({ScriptHeader(oldFile, 0x01), {'x'}}), TBajty{3, 2, 1}, 10).error,
            TBladSkryptu::None);
}

TEST(PatchScript, ChecksumOfLongFilesAndEveryTail) {
  // The sum is taken eight bytes at a time; compare with a plain byte loop at every length
  // around the word and lane boundaries, and with all-0xFF data that fills the lanes.
  const TBajty data = RandomBytes(4200, 8);
  std::uint32_t plain = 0;
  for (std::size_t n = 0; n <= data.size(); ++n) {
    ASSERT_EQ(PatchChecksum(std::span(data.data(), n)), plain) << n;
    if (n < data.size()) {
      plain += data[n];
    }
  }
  const TBajty ones(100003, 0xFF);
  EXPECT_EQ(PatchChecksum(ones), 100003u * 255u);
}

TEST(PatchScript, TruncatedHeaderAndCommandsAreRefused) {
  const TBajty header = ScriptHeader(kOld, 0x01);
  for (std::size_t n = 0; n < 5; ++n) {
    EXPECT_EQ(RunScript(Slice(header, 0, n), kOld, 100).error, TBladSkryptu::HeaderTruncated) << n;
  }
  // An escape byte last, or a block offset cut after 1 to 3 of its 4 bytes.
  EXPECT_EQ(RunScript(Concat({header, {'a', 0x01}}), kOld, 100).error,
            TBladSkryptu::CommandTruncated);
  for (std::size_t n = 1; n < 4; ++n) {
    EXPECT_EQ(RunScript(Concat({header, {0x01}, Slice(Block(2), 0, n)}), kOld, 300).error,
              TBladSkryptu::CommandTruncated)
        << n;
  }
}

TEST(PatchScript, BlocksMustLieWhollyInsideTheOldFile) {
  const TBajty header = ScriptHeader(kOld, 0x01);
  EXPECT_EQ(RunScript(Concat({header, {0x01}, Block(744)}), kOld, 256).error, TBladSkryptu::None);
  EXPECT_EQ(RunScript(Concat({header, {0x01}, Block(745)}), kOld, 256).error,
            TBladSkryptu::BlockOutsideOld);
  EXPECT_EQ(RunScript(Concat({header, {0x01}, Block(0xFFFFFF02)}), kOld, 256).error,
            TBladSkryptu::BlockOutsideOld);
  const TBajty small = RandomBytes(255, 3);
  EXPECT_EQ(RunScript(Concat({ScriptHeader(small, 0x01), {0x01}, Block(0)}), small, 256).error,
            TBladSkryptu::BlockOutsideOld);
}

TEST(PatchScript, OutputNeverExceedsItsCapacity) {
  const std::uint8_t e = 0x01;
  const TBajty header = ScriptHeader(kOld, e);
  EXPECT_EQ(RunScript(Concat({header, {'a', 'b', 'c'}}), kOld, 3).error, TBladSkryptu::None);
  EXPECT_EQ(RunScript(Concat({header, {'a', 'b', 'c'}}), kOld, 2).error,
            TBladSkryptu::OutputOverCapacity);
  EXPECT_EQ(RunScript(Concat({header, {'a', e, e}}), kOld, 1).error,
            TBladSkryptu::OutputOverCapacity);
  EXPECT_EQ(RunScript(Concat({header, {'a', e}, Block(2)}), kOld, 256).error,
            TBladSkryptu::OutputOverCapacity);
  EXPECT_EQ(RunScript(Concat({header, {'a', e}, Block(2)}), kOld, 257).error, TBladSkryptu::None);
}

TEST(PatchScript, MaxScriptOutputBoundsEveryScript) {
  EXPECT_EQ(MaxScriptOutput(0), 0u);
  EXPECT_EQ(MaxScriptOutput(5), 0u);
  EXPECT_EQ(MaxScriptOutput(9), 4u);
  EXPECT_EQ(MaxScriptOutput(10), 256u);
  EXPECT_EQ(MaxScriptOutput(17), 514u);
  // Two blocks and two literals: exactly the bound.
  const TBajty script =
      Concat({ScriptHeader(kOld, 0x01), {0x01}, Block(0), {0x01}, Block(9), {'y', 'z'}});
  EXPECT_EQ(RunScript(script, kOld, 514).bytes.size(), MaxScriptOutput(script.size()));
}

// ApplyPatchScript: the script in buffer A (`produced` bytes), the old file, the output in B.
class ApplyPatchScriptTest : public testing::Test {
 protected:
  void Load(const TBajty& script, std::size_t capacity) {
    TStanDekodera& st = DecoderState();
    st.status = 0;
    st.a = script;
    st.a.resize(script.size() + 16, 0xEE);  // bytes past `produced` are not script
    st.produced = script.size();
    st.oldFile = kOld;
    st.b.assign(capacity, 0);
    st.bCount = 77;
  }
};

TEST_F(ApplyPatchScriptTest, BuildsTheNewFileInBufferB) {
  Load(Concat({ScriptHeader(kOld, 0x01), {'h', 'i'}, {0x01}, Block(3)}), 258);
  ApplyPatchScript();
  const TStanDekodera& st = DecoderState();
  EXPECT_EQ(st.status, 0);
  ASSERT_EQ(st.bCount, 258u);
  EXPECT_EQ(TBajty(st.b.begin(), st.b.begin() + 258), Concat({{'h', 'i'}, Slice(kOld, 3, 256)}));
}

TEST_F(ApplyPatchScriptTest, StatusCodesForRefusedScripts) {
  TBajty bad = ScriptHeader(kOld, 0x01);
  bad[1] ^= 0x10;
  Load(bad, 10);
  ApplyPatchScript();
  EXPECT_EQ(DecoderState().status, kStatusZlaWersja);
  EXPECT_EQ(DecoderState().bCount, 0u);

  Load(Concat({ScriptHeader(kOld, 0x01), {0x01}, Block(900)}), 300);
  ApplyPatchScript();
  EXPECT_EQ(DecoderState().status, kStatusNiepelnyPlik);

  Load(Concat({ScriptHeader(kOld, 0x01), {'a', 'b'}}), 1);
  ApplyPatchScript();
  EXPECT_EQ(DecoderState().status, kStatusNiepelnyPlik);
}

TEST_F(ApplyPatchScriptTest, DoesNothingWhileTheStatusIsSet) {
  Load(Concat({ScriptHeader(kOld, 0x01), {'a'}}), 1);
  DecoderState().status = kStatusZlaDlugosc;
  ApplyPatchScript();
  EXPECT_EQ(DecoderState().status, kStatusZlaDlugosc);
  EXPECT_EQ(DecoderState().bCount, 77u);
  EXPECT_EQ(DecoderState().b[0], 0);
}

}  // namespace
}  // namespace orvala::testy
