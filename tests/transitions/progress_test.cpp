#include "transitions/progress.h"

#include <gtest/gtest.h>

#include <random>

namespace {

#ifdef __SIZEOF_INT128__
__extension__ typedef unsigned __int128 tWide;

// floor(a * b / c) with a 128-bit product, as the reference.
uint32_t Reference(uint64_t elapsed, uint32_t scale, uint64_t time) {
  return static_cast<uint32_t>(static_cast<tWide>(elapsed) * scale / time);
}
#endif

TEST(ScaledProgressTest, WorkedExample) {
  // time 1000, maxPhase 319, 500 ticks: 159.5 truncated.
  EXPECT_EQ(ScaledProgress(500, 319, 1000), 159u);
  EXPECT_EQ(ScaledProgress(999, 255, 1000), 254u);
  EXPECT_EQ(ScaledProgress(0, 319, 1), 0u);
}

TEST(ScaledProgressTest, ProductPast64BitsDoesNotWrap) {
  const uint64_t time = ~uint64_t{0};  // a negative "time" taken as unsigned
  const uint64_t elapsed = time - 1;
  EXPECT_EQ(ScaledProgress(elapsed, 319, time), 318u);
  EXPECT_EQ(ScaledProgress(time / 2, 255, time), 127u);
}

#ifdef __SIZEOF_INT128__
TEST(ScaledProgressTest, MatchesWideReferenceOnRandomInputs) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 100000; ++i) {
    const uint64_t time = random() >> (random() % 64);
    if (time == 0) {
      continue;
    }
    const uint64_t elapsed = random() % time;
    const auto scale = static_cast<uint32_t>(random() >> (32 + random() % 32));
    ASSERT_EQ(ScaledProgress(elapsed, scale, time), Reference(elapsed, scale, time))
        << elapsed << " " << scale << " " << time;
  }
}
#endif

}  // namespace
