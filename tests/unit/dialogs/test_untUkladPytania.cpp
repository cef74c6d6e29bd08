#include "dialogs/untUkladPytania.h"

#include <gtest/gtest.h>

namespace orvala {
namespace {

TWymiaryPytania Question(std::uint8_t mode, int labelWidth, int labelHeight) {
  TWymiaryPytania in;
  in.mode = mode;
  in.labelLeft = 12;
  in.labelTop = 13;
  in.labelWidth = labelWidth;
  in.labelHeight = labelHeight;
  in.widthTak = 75;
  in.widthNie = 75;
  in.widthAnuluj = 75;
  in.heightTak = 23;
  in.gap = 8;
  return in;
}

TEST(AskLayout, ModeZeroOneWordWindowIsButtonPlusMargins) {
  const TUkladPytania out = ComputeAskLayout(Question(0, 20, 13));
  EXPECT_EQ(out.rowWidth, 75);
  EXPECT_EQ(out.labelWidth, 75);  // widened to the button row
  EXPECT_EQ(out.xTak, 12);        // centred: (75 - 75) / 2 = 0
  EXPECT_EQ(out.clientWidth, 2 * 12 + 75);
  EXPECT_EQ(out.clientHeight, 2 * 13 + 13 + 23 + 8);
  EXPECT_EQ(out.buttonsTop, 13 + 13 + 8);
}

TEST(AskLayout, RowWidthPerMode) {
  EXPECT_EQ(ComputeAskLayout(Question(1, 10, 13)).rowWidth, 75 + 75 + 8);
  EXPECT_EQ(ComputeAskLayout(Question(2, 10, 13)).rowWidth, 75 + 75 + 8);
  EXPECT_EQ(ComputeAskLayout(Question(3, 10, 13)).rowWidth, 75 * 3 + 16);
  // Unknown modes are the OK-only question.
  EXPECT_EQ(ComputeAskLayout(Question(4, 10, 13)).rowWidth, 75);
  EXPECT_EQ(ComputeAskLayout(Question(255, 10, 13)).rowWidth, 75);
}

TEST(AskLayout, WideLabelCentresTheRowWithIntegerDivision) {
  TWymiaryPytania in = Question(3, 400, 52);
  in.widthAnuluj = 80;  // W = 75 + 75 + 80 + 16 = 246; (400 - 246) / 2 = 77
  const TUkladPytania out = ComputeAskLayout(in);
  EXPECT_EQ(out.labelWidth, 400);
  EXPECT_EQ(out.xTak, 12 + 77);
  EXPECT_EQ(out.xNie, 12 + 77 + 75 + 8);
  EXPECT_EQ(out.xAnuluj, 12 + 77 + 75 + 75 + 16);
  EXPECT_EQ(out.clientWidth, 424);
  EXPECT_EQ(out.clientHeight, 26 + 52 + 23 + 8);

  in = Question(1, 301, 13);  // (301 - 158) / 2 = 71 (71.5 truncated)
  EXPECT_EQ(ComputeAskLayout(in).xTak, 12 + 71);
}

TEST(AskLayout, CentredOverOwnerMayExtendBeyondIt) {
  EXPECT_EQ(CentredPosition(100, 50, 623, 380, 200, 101).x, 100 + 211);
  EXPECT_EQ(CentredPosition(100, 50, 623, 380, 200, 101).y, 50 + 139);
  // A dialog larger than its owner starts left of and above it.
  EXPECT_EQ(CentredPosition(0, 0, 100, 100, 301, 151).x, -100);
  EXPECT_EQ(CentredPosition(0, 0, 100, 100, 301, 151).y, -25);
}

}  // namespace
}  // namespace orvala
