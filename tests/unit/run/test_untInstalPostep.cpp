// The gauge scale: byte counts of any size onto a 32-bit gauge, in proportion.
#include <gtest/gtest.h>

#include "engine/untBlokKopii.h"
#include "engine/untInstalPostep.h"

namespace orvala {
namespace {

TEST(GaugeScale, SmallCountsAreTakenAsTheyStand) {
  const TSkalaPostepu scale(2'300'000);
  EXPECT_EQ(scale.Shift(), 0u);
  EXPECT_EQ(scale.Maximum(), 2'300'000u);
  EXPECT_EQ(scale.Position(0), 0u);
  EXPECT_EQ(scale.Position(1'234'567), 1'234'567u);
  EXPECT_EQ(scale.Position(2'300'000), 2'300'000u);
}

TEST(GaugeScale, PositionsNeverPassTheMaximum) {
  const TSkalaPostepu scale(1000);
  EXPECT_EQ(scale.Position(1001), 1000u);
  EXPECT_EQ(scale.Position(~std::uint64_t{0}), 1000u);
  EXPECT_EQ(TSkalaPostepu(0).Position(5), 0u);
  EXPECT_EQ(TSkalaPostepu(-7).Maximum(), 0u);
}

TEST(GaugeScale, TheLargestUnscaledCountAndTheFirstScaledOne) {
  EXPECT_EQ(TSkalaPostepu(kMaksimumWskaznika).Shift(), 0u);
  const TSkalaPostepu scale(std::int64_t{kMaksimumWskaznika} + 1);
  EXPECT_EQ(scale.Shift(), 1u);
  EXPECT_EQ(scale.Maximum(), 0x4000'0000u);
}

TEST(GaugeScale, TreesOfFourGigabytesAndMoreMoveInProportion) {
  for (const std::int64_t bytes : {std::int64_t{1} << 32, (std::int64_t{5} << 30) + 2'100'000,
                                   std::int64_t{1} << 40, INT64_MAX}) {
    SCOPED_TRACE(bytes);
    const TSkalaPostepu scale(bytes);
    EXPECT_LE(scale.Maximum(), kMaksimumWskaznika);
    EXPECT_GT(scale.Maximum(), kMaksimumWskaznika / 2);  // the range is used, not wasted
    const auto half = static_cast<std::uint64_t>(bytes) / 2;
    const double ratio = static_cast<double>(scale.Position(half)) / scale.Maximum();
    EXPECT_NEAR(ratio, 0.5, 1e-6);
    EXPECT_EQ(scale.Position(static_cast<std::uint64_t>(bytes)), scale.Maximum());
  }
}

// The copy's block size follows the time each block takes: fast media reach the largest block,
// a slow one falls back to the smallest, a block of one coarse clock tick keeps its size.
TEST(CopyBlock, FollowsTheTimeOfEachBlock) {
  const struct {
    std::uint32_t ms;
    int blocks;
    std::size_t size;
  } cases[] = {
      {0, 2, kNajmniejszyBlokKopii << 2},
      {0, 40, kNajwiekszyBlokKopii},
      {16, 40, kNajmniejszyBlokKopii},
      {kBlokSzybki, 40, kNajmniejszyBlokKopii},
      {kBlokWolny + 1, 40, kNajmniejszyBlokKopii},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ms);
    TBlokKopii block;
    for (int i = 0; i < c.blocks; ++i) {
      block.Took(c.ms);
    }
    EXPECT_EQ(block.Size(), c.size);
  }
  // From the largest, a slow medium halves it block by block down to the smallest, and one
  // tick long blocks hold the size reached.
  TBlokKopii block;
  for (int i = 0; i < 40; ++i) {
    block.Took(0);
  }
  block.Took(kBlokWolny + 1);
  EXPECT_EQ(block.Size(), kNajwiekszyBlokKopii / 2);
  block.Took(16);
  EXPECT_EQ(block.Size(), kNajwiekszyBlokKopii / 2);
  for (int i = 0; i < 40; ++i) {
    block.Took(1000);
  }
  EXPECT_EQ(block.Size(), kNajmniejszyBlokKopii);
}

}  // namespace
}  // namespace orvala
