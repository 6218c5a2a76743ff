#include <gtest/gtest.h>

#include <cstddef>

#include "hostapi/transition.h"
#include "hostapi/types.h"

TEST(ContractLayoutTest, BandRecordFieldsInOrder) {
  EXPECT_EQ(offsetof(tZANBandData, left), 0u);
  EXPECT_EQ(offsetof(tZANBandData, height), 12u);
  EXPECT_LT(offsetof(tZANBandData, dest), offsetof(tZANBandData, destLeft));
  EXPECT_LT(offsetof(tZANBandData, src2Left), offsetof(tZANBandData, src2Top));
  if (sizeof(void *) == 4) {
    EXPECT_EQ(sizeof(tZANBandData), 52u);
    EXPECT_EQ(offsetof(tZANBandData, src2Top), 48u);
  }
}
