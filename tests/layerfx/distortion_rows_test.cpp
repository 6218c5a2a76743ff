#include "layerfx/distortion_rows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "layerfx/trig_tables.h"

namespace {

class DistortionRowsTest : public ::testing::Test {
 protected:
  void SetUp() override { FillTrigTables(); }
};

TEST_F(DistortionRowsTest, WorkedExample) {
  // Period 64 everywhere: row 0 shifts by 2; row 16 (a quarter turn) comes from
  // row 20 without shift.
  const tWave wave{0.0, 64.0, 64.0, 480};
  const tRowDisplacement row0 = DisplaceRow(wave, 0, 0, 100, 50);
  EXPECT_EQ(row0.sourceRow, 0);
  EXPECT_EQ(row0.shift, 2);
  const tRowDisplacement row16 = DisplaceRow(wave, 0, 16, 100, 50);
  EXPECT_EQ(row16.sourceRow, 20);
  EXPECT_EQ(row16.shift, 0);
}

TEST_F(DistortionRowsTest, ZeroPeriodKeepsRowClampedToSource) {
  const tWave wave{0.3, 0.0, 0.0, 480};
  EXPECT_EQ(DisplaceRow(wave, 0, 5, 100, 10).sourceRow, 5);
  EXPECT_EQ(DisplaceRow(wave, 0, 150, 100, 10).sourceRow, 99);
  EXPECT_EQ(DisplaceRow(wave, 0, 150, 100, 10).shift, 0);
}

TEST_F(DistortionRowsTest, RowsClampedAboveAndBelow) {
  // Period 64 at phase 0.75: row 0 has angle 3/4 turn, sine -1: 0 - 4 -> row 0.
  const tWave up{0.75, 64.0, 64.0, 480};
  EXPECT_EQ(DisplaceRow(up, 0, 0, 100, 50).sourceRow, 0);
  // Near the bottom of a short source the +4 displacement clamps to the last row.
  const tWave down{0.25, 64.0, 64.0, 480};
  EXPECT_EQ(DisplaceRow(down, 0, 9, 10, 50).sourceRow, 9);
}

TEST_F(DistortionRowsTest, HostileNumbersGiveDefinedRows) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const tWave cases[] = {
      {0.0, 64.0, 128.0, 0},   // screen of height 0: period not finite
      {nan, 64.0, 64.0, 480},  // phase not a number
      {inf, 64.0, 64.0, 480}, {0.0, nan, 64.0, 480},
      {0.0, inf, inf, 480},   {1e300, 1e300, -1e300, 480},
  };
  for (const tWave &wave : cases) {
    for (int y : {0, 7, 99}) {
      const tRowDisplacement row = DisplaceRow(wave, 3, y, 100, 40);
      EXPECT_GE(row.sourceRow, 0);
      EXPECT_LE(row.sourceRow, 99);
      EXPECT_GE(row.shift, -40);
      EXPECT_LE(row.shift, 40);
    }
  }
}

TEST_F(DistortionRowsTest, ShiftWiderThanRowIsCutToWidth) {
  // Period 10000: shift 10000/32 = 312 > width 100.
  const tWave wave{0.0, 10000.0, 10000.0, 480};
  EXPECT_EQ(DisplaceRow(wave, 0, 0, 100, 100).shift, 100);
  const tWave opposite{0.5, 10000.0, 10000.0, 480};
  EXPECT_EQ(DisplaceRow(opposite, 0, 0, 100, 100).shift, -100);
}

}  // namespace
