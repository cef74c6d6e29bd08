// The patch producer: block matching, the escape byte, scripts that rebuild NEW, records.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/untPakowanie.h"
#include "engine/untPatcher.h"
#include "untLatki.h"
#include "untSrodowiskoLatek.h"

namespace orvala::testy {
namespace {

// Runs `script` against OLD and checks that it rebuilds NEW exactly.
void ExpectRebuilds(const TBajty& script, const TBajty& oldFile, const TBajty& newFile) {
  TBajty out(newFile.size());
  const TWynikSkryptu r = RunPatchScript(script, oldFile, out);
  ASSERT_EQ(r.error, TBladSkryptu::None);
  ASSERT_EQ(r.produced, newFile.size());
  EXPECT_TRUE(out == newFile);
}

std::vector<latki::TBlok> Blocks(const TBajty& oldFile, const TBajty& newFile, int forbidden) {
  const latki::TIndeksBlokow index(oldFile);
  return latki::MatchBlocks(index, oldFile, newFile, forbidden);
}

TEST(PatchProducer, RollingHashEqualsTheHashOfTheWindow) {
  const TBajty data = RandomBytes(600, 21);
  std::uint64_t h = latki::TIndeksBlokow::WindowHash(data.data());
  for (std::size_t i = 1; i + 256 <= data.size(); ++i) {
    h = latki::TIndeksBlokow::RollHash(h, data[i - 1], data[i + 255]);
    ASSERT_EQ(h, latki::TIndeksBlokow::WindowHash(data.data() + i)) << i;
  }
}

TEST(PatchProducer, ScriptsRebuildEditedFiles) {
  const TBajty old = RandomBytes(50000, 22);
  const TBajty cases[] = {
      old,
      Concat({Slice(old, 0, 10000), RandomBytes(77, 23), Slice(old, 10000, 40000)}),  // insertion
      Concat({Slice(old, 0, 20000), Slice(old, 20133, 29867)}),                       // deletion
      Concat({Slice(old, 30000, 20000), Slice(old, 0, 30000)}),                       // moved
      Concat({old, old}),                                                             // repeated
      Slice(old, 1, 255),                                                             // short
      {},
  };
  for (const TBajty& nw : cases) {
    const TBajty script = latki::BuildPatchScript(old, nw);
    ExpectRebuilds(script, old, nw);
  }
  // An insertion costs little more than its own bytes.
  const TBajty script = latki::BuildPatchScript(old, cases[1]);
  EXPECT_LT(script.size(), 5u + 77 + 512 + 5 * (50000 / 256 + 2));
}

TEST(PatchProducer, LargeOldFilesStillMatchShiftedRuns) {
  // Beyond kNajwiecejOkien windows only every stride-th one is indexed; a run shifted by an
  // odd insertion is found again a few bytes later.
  const TBajty old = RandomBytes(latki::TIndeksBlokow::kNajwiecejOkien * 2 + 1000, 34);
  const TBajty nw =
      Concat({Slice(old, 0, 300001), RandomBytes(13, 35), Slice(old, 300001, 700000)});
  const TBajty script = latki::BuildPatchScript(old, nw);
  ExpectRebuilds(script, old, nw);
  EXPECT_LT(script.size(), 5u * (nw.size() / 256 + 2) + 13 + 2 * 256);
}

TEST(PatchProducer, FilesSharingNoBlockGiveOnlyLiterals) {
  const TBajty old = RandomBytes(20000, 24);
  const TBajty nw = RandomBytes(20000, 25);
  EXPECT_TRUE(Blocks(old, nw, -1).empty());
  const TBajty script = latki::BuildPatchScript(old, nw);
  const std::uint8_t e = script[4];
  EXPECT_EQ(script.size(),
            5 + nw.size() + static_cast<std::size_t>(std::count(nw.begin(), nw.end(), e)));
  ExpectRebuilds(script, old, nw);
  // Old files shorter than a block have no block to offer.
  ExpectRebuilds(latki::BuildPatchScript(Slice(old, 0, 100), nw), Slice(old, 0, 100), nw);
}

TEST(PatchProducer, EscapeIsTheCheapestByte) {
  // Every byte value occurs in NEW but 0x5A; an old file sharing nothing.
  TBajty nw = RandomBytes(30000, 26);
  std::replace(nw.begin(), nw.end(), std::uint8_t{0x5A}, std::uint8_t{0x5B});
  const TBajty script = latki::BuildPatchScript(RandomBytes(1000, 27), nw);
  EXPECT_EQ(script[4], 0x5A);
  EXPECT_EQ(script.size(), 5 + nw.size());
}

TEST(PatchProducer, NewFullOfTheEscapeByte) {
  const TBajty old = RandomBytes(3000, 28);
  const TBajty nw(5000, 0x41);
  // The chosen escape avoids the byte; a forced one doubles every byte and still rebuilds NEW.
  const TBajty chosen = latki::BuildPatchScript(old, nw);
  EXPECT_NE(chosen[4], 0x41);
  ExpectRebuilds(chosen, old, nw);
  const TBajty forced = latki::BuildPatchScript(old, nw, std::uint8_t{0x41});
  EXPECT_EQ(forced.size(), 5 + 2 * nw.size());
  ExpectRebuilds(forced, old, nw);
}

TEST(PatchProducer, NeverReferencesABlockWhoseOffsetEndsInTheEscape) {
  // The block B sits in OLD only at offset 0x37; with 0x37 as escape it cannot be referenced.
  const TBajty block = RandomBytes(256, 29);
  const TBajty old = Concat({RandomBytes(0x37, 30), block, RandomBytes(100, 31)});
  const TBajty nw = Concat({{'x'}, block, {'y'}});
  ASSERT_EQ(Blocks(old, nw, -1).size(), 1u);
  EXPECT_TRUE(Blocks(old, nw, 0x37).empty());
  const TBajty forced = latki::BuildPatchScript(old, nw, std::uint8_t{0x37});
  ExpectRebuilds(forced, old, nw);
  EXPECT_GE(forced.size(), 5u + 258);  // the block went out as literals

  // With a second copy at offset 0x19B the other offset is used.
  const TBajty old2 = Concat({old, block});
  const auto blocks = Blocks(old2, nw, 0x37);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_NE(blocks[0].oldOffset & 0xFF, 0x37u);
  ExpectRebuilds(latki::BuildPatchScript(old2, nw, std::uint8_t{0x37}), old2, nw);
}

TEST(PatchProducer, UniformFilesUseBlocksWhateverTheEscape) {
  const TBajty old(4096, 0x00);
  const TBajty nw(10000, 0x00);
  for (const int e : {0x00, 0x01}) {
    const TBajty script = latki::BuildPatchScript(old, nw, static_cast<std::uint8_t>(e));
    ExpectRebuilds(script, old, nw);
    EXPECT_LT(script.size(), 5u + 5 * (10000 / 256) + 2 * 256) << e;
  }
}

TEST(PatchProducer, PatchFileUnpacksToTheScript) {
  const TBajty old = RandomBytes(9000, 33);
  const TBajty nw = Concat({Slice(old, 0, 4000), {9, 9, 9}, Slice(old, 4000, 5000)});
  const latki::TPlikLatki patch = latki::MakePatchFile(old, nw);
  EXPECT_EQ(patch.oldLength, old.size());
  EXPECT_EQ(patch.newLength, nw.size());
  ASSERT_TRUE(UnpackPart(patch.packed, patch.scriptLength));
  const TBajty script(DecoderState().a.begin(), DecoderState().a.begin() + patch.scriptLength);
  EXPECT_EQ(DecoderState().produced, patch.scriptLength);
  EXPECT_EQ(script, latki::BuildPatchScript(old, nw));
}

TEST(PatchProducer, ListRecordLayout) {
  const TBajty record = latki::EncodeListRecord({"p.pat", "Ab", 0x01020304, 5, 0xFFFFFFFF});
  TBajty plain = record;
  for (std::uint8_t& b : plain) {
    b = static_cast<std::uint8_t>(~b);
  }
  EXPECT_EQ(plain, (TBajty{5, 0, 'p', '.', 'p', 'a', 't', 2,    0,    'A',  'b', 4,
                           3, 2, 1,   5,   0,   0,   0,   0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_THROW(latki::EncodeListRecord({std::string(65536, 'x'), "a", 0, 0, 0}),
               std::invalid_argument);
  EXPECT_EQ(latki::EncodeListRecord({std::string(65535, 'x'), "a", 0, 0, 0}).size(),
            65535u + 2 + 3 + 12);
}

TEST(PatchProducer, ParseLength) {
  EXPECT_EQ(latki::ParseLength("0"), 0u);
  EXPECT_EQ(latki::ParseLength("4294967295"), 4294967295u);
  for (const char* bad : {"", "4294967296", "-1", "+5", "12a", " 1", "99999999999"}) {
    EXPECT_FALSE(latki::ParseLength(bad).has_value()) << bad;
  }
}

}  // namespace
}  // namespace orvala::testy
