#include "host/pixel_routines.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <random>
#include <vector>

namespace zanhost {
namespace {

constexpr orn_uint32 kGuard = 0xDEADBEEFu;

// `count` pixels followed by guard words that no routine may touch.
std::vector<orn_uint32> Fenced(std::vector<orn_uint32> pixels) {
  pixels.insert(pixels.end(), 4, kGuard);
  return pixels;
}

void ExpectGuardsAfter(const std::vector<orn_uint32> &pixels, size_t count) {
  for (size_t i = count; i < pixels.size(); ++i) {
    EXPECT_EQ(pixels[i], kGuard) << "overrun at " << i;
  }
}

TEST(PixelRoutinesTest, CountsBelowOneDoNothing) {
  std::vector<orn_uint32> dest = Fenced({});
  const std::vector<orn_uint32> src = Fenced({});
  const std::array<orn_uint32, 256> table{};
  const std::array<orn_uint8, 4> rule{};
  for (orn_int count : {0, -1, INT_MIN}) {
    ZANFillARGB(dest.data(), count, 1);
    ZANAddBlend(dest.data(), src.data(), count);
    ZANConstAlphaBlend(dest.data(), src.data(), count, 128);
    ZANConstColorAlphaBlend(dest.data(), count, 1, 128);
    ZANUnivTransBlend(dest.data(), src.data(), src.data(), rule.data(), table.data(), count);
    ZANUnivTransBlend_switch_d(dest.data(), src.data(), src.data(), rule.data(), table.data(),
                               count, 0, 0);
  }
  ExpectGuardsAfter(dest, 0);
}

TEST(PixelRoutinesTest, FillStopsAtCount) {
  std::vector<orn_uint32> dest = Fenced({0, 0, 0});
  ZANFillARGB(dest.data(), 3, 0x80402010u);
  EXPECT_EQ(dest[2], 0x80402010u);
  ExpectGuardsAfter(dest, 3);
}

TEST(PixelRoutinesTest, AddSaturatesEachColourAndKeepsAlpha) {
  std::vector<orn_uint32> dest = Fenced({0x40102030u, 0x80F01020u});
  const std::vector<orn_uint32> src = {0xFF010203u, 0x7F20F0F0u};
  ZANAddBlend(dest.data(), src.data(), 2);
  EXPECT_EQ(dest[0], 0x40112233u);
  EXPECT_EQ(dest[1], 0x80FFFFFFu);
  ExpectGuardsAfter(dest, 2);
}

struct OpacityCase {
  orn_int opacity;
  orn_uint32 expected;
};

TEST(PixelRoutinesTest, ConstantBlendsClampOpacityAndRound) {
  // Destination 0x11 00 FF 40 against source/colour 0xEE FF 00 41.
  const OpacityCase cases[] = {
      {-5, 0x1100FF40u},  {0, 0x1100FF40u},
      {1, 0x1101FE40u},   {128, 0x11807F41u},  // blue: 64.502 rounds to 65
      {255, 0x11FF0041u}, {1000, 0x11FF0041u},
  };
  for (const OpacityCase &c : cases) {
    SCOPED_TRACE(c.opacity);
    std::vector<orn_uint32> dest = Fenced({0x1100FF40u});
    const std::vector<orn_uint32> src = {0xEEFF0041u};
    ZANConstAlphaBlend(dest.data(), src.data(), 1, c.opacity);
    EXPECT_EQ(dest[0], c.expected);
    std::vector<orn_uint32> colored = Fenced({0x1100FF40u});
    ZANConstColorAlphaBlend(colored.data(), 1, 0xEEFF0041u, c.opacity);
    EXPECT_EQ(colored[0], c.expected);
    ExpectGuardsAfter(dest, 1);
    ExpectGuardsAfter(colored, 1);
  }
}

struct TableCase {
  orn_int phase;
  orn_int vague;
  std::array<std::pair<int, orn_uint32>, 3> entries;  // level, weight
};

TEST(PixelRoutinesTest, BlendTableRampsOverVague) {
  const TableCase cases[] = {
      {0, 64, {{{0, 0}, {128, 0}, {255, 0}}}},
      {64, 64, {{{0, 255}, {1, 251}, {64, 0}}}},
      {319, 64, {{{0, 255}, {255, 255}, {200, 255}}}},
      {100, 0, {{{99, 255}, {100, 0}, {255, 0}}}},
      {100, -3, {{{99, 255}, {100, 0}, {0, 255}}}},
      {INT_MAX, 1, {{{0, 255}, {255, 255}, {7, 255}}}},
      {INT_MIN, 1, {{{0, 0}, {255, 0}, {7, 0}}}},
  };
  for (const TableCase &c : cases) {
    SCOPED_TRACE(testing::Message() << "phase " << c.phase << " vague " << c.vague);
    for (auto initialise : {ZANInitUnivTransBlendTable, ZANInitUnivTransBlendTable_d}) {
      std::array<orn_uint32, 256> table{};
      initialise(table.data(), c.phase, c.vague);
      for (const auto &[level, weight] : c.entries) {
        EXPECT_EQ(table[level], weight) << "level " << level;
      }
    }
  }
}

TEST(PixelRoutinesTest, RuleBlendMixesByTableEntry) {
  std::array<orn_uint32, 256> table{};
  table[1] = 255;
  table[2] = 51;
  table[3] = 9999;  // counts as 255
  const std::vector<orn_uint32> src1 = {0x00102030u, 0x00102030u, 0x80FF0000u, 0x00000000u};
  const std::vector<orn_uint32> src2 = {0x40A0B0C0u, 0x40A0B0C0u, 0x00000000u, 0x10203040u};
  const std::vector<orn_uint8> rule = {0, 1, 2, 3};
  std::vector<orn_uint32> dest = Fenced({0, 0, 0, 0});
  ZANUnivTransBlend(dest.data(), src1.data(), src2.data(), rule.data(), table.data(), 4);
  EXPECT_EQ(dest[0], 0xFF102030u);
  EXPECT_EQ(dest[1], 0xFFA0B0C0u);
  EXPECT_EQ(dest[2], 0xFFCC0000u);  // 255 * 204 / 255
  EXPECT_EQ(dest[3], 0xFF203040u);
  ExpectGuardsAfter(dest, 4);
  ZANUnivTransBlend_d(dest.data(), src1.data(), src2.data(), rule.data(), table.data(), 4);
  EXPECT_EQ(dest[0], 0x00102030u);
  EXPECT_EQ(dest[2], 0x66CC0000u);  // alpha 128 * 204 / 255 = 102.4
  EXPECT_EQ(dest[3], 0x10203040u);
}

TEST(PixelRoutinesTest, SwitchFormsEqualPlainFormsOnRandomData) {
  std::mt19937 random(1234);
  for (orn_int count : {1, 2, 7, 33}) {
    for (auto [phase, vague] : {std::pair{0, 64}, {100, 64}, {319, 64}, {40, 0}, {200, 3}}) {
      std::array<orn_uint32, 256> table{};
      ZANInitUnivTransBlendTable(table.data(), phase, vague);
      std::vector<orn_uint32> src1(count), src2(count);
      std::vector<orn_uint8> rule(count);
      for (orn_int i = 0; i < count; ++i) {
        src1[i] = static_cast<orn_uint32>(random());
        src2[i] = static_cast<orn_uint32>(random());
        rule[i] = static_cast<orn_uint8>(random());
      }
      for (bool withAlpha : {false, true}) {
        SCOPED_TRACE(testing::Message() << count << " " << phase << " " << vague << withAlpha);
        std::vector<orn_uint32> plain = Fenced(std::vector<orn_uint32>(count));
        std::vector<orn_uint32> fast = Fenced(std::vector<orn_uint32>(count));
        auto plainBlend = withAlpha ? ZANUnivTransBlend_d : ZANUnivTransBlend;
        auto fastBlend = withAlpha ? ZANUnivTransBlend_switch_d : ZANUnivTransBlend_switch;
        plainBlend(plain.data(), src1.data(), src2.data(), rule.data(), table.data(), count);
        fastBlend(fast.data(), src1.data(), src2.data(), rule.data(), table.data(), count, phase,
                  phase - vague);
        EXPECT_EQ(plain, fast);
        ExpectGuardsAfter(fast, static_cast<size_t>(count));
      }
    }
  }
}

// Every pair of channel values at every opacity: the lane arithmetic of the
// fast blends against the plain per-channel mix.
TEST(PixelRoutinesTest, FastConstantBlendsEqualPlainTwinsOnEveryChannelPair) {
  std::vector<orn_uint32> dest(65536), src(65536);
  for (orn_uint32 i = 0; i < 65536; ++i) {
    const orn_uint32 a = i & 0xFFu;
    const orn_uint32 b = i >> 8;
    dest[i] = a * 0x01010101u ^ 0x00FF0000u;
    src[i] = b * 0x01010101u ^ 0x0000FF00u;
  }
  for (orn_int opacity = -1; opacity <= 256; ++opacity) {
    std::vector<orn_uint32> plain = Fenced(dest), fast = Fenced(dest);
    ZANConstAlphaBlendRef(plain.data(), src.data(), 65536, opacity);
    ZANConstAlphaBlend(fast.data(), src.data(), 65536, opacity);
    ASSERT_EQ(plain, fast) << "opacity " << opacity;
    ZANConstColorAlphaBlendRef(plain.data(), 65536, 0x80FF017Fu, opacity);
    ZANConstColorAlphaBlend(fast.data(), 65536, 0x80FF017Fu, opacity);
    ASSERT_EQ(plain, fast) << "opacity " << opacity;
  }
  std::vector<orn_uint32> plain = Fenced(dest), fast = Fenced(dest);
  ZANAddBlendRef(plain.data(), src.data(), 65536);
  ZANAddBlend(fast.data(), src.data(), 65536);
  EXPECT_EQ(plain, fast);
}

// Random pixels, levels and tables (entries above 255 included), each count
// up to past a few words, with guards after the destination.
TEST(PixelRoutinesTest, FastRuleBlendsEqualPlainTwinsOnRandomData) {
  using RuleBlendForm = void (*)(orn_uint32 *, const orn_uint32 *, const orn_uint32 *,
                                 const orn_uint8 *, const orn_uint32 *, orn_int);
  using SwitchForm = void (*)(orn_uint32 *, const orn_uint32 *, const orn_uint32 *,
                              const orn_uint8 *, const orn_uint32 *, orn_int, orn_int, orn_int);
  const std::pair<RuleBlendForm, RuleBlendForm> blends[] = {
      {ZANUnivTransBlendRef, ZANUnivTransBlend}, {ZANUnivTransBlend_dRef, ZANUnivTransBlend_d}};
  const std::pair<SwitchForm, SwitchForm> switches[] = {
      {ZANUnivTransBlend_switchRef, ZANUnivTransBlend_switch},
      {ZANUnivTransBlend_switch_dRef, ZANUnivTransBlend_switch_d}};
  std::mt19937 random(99);
  for (int round = 0; round < 200; ++round) {
    const orn_int count = static_cast<orn_int>(random() % 70);
    std::array<orn_uint32, 256> table{};
    for (orn_uint32 &entry : table) {
      entry = random() % 4 == 0 ? static_cast<orn_uint32>(random()) : random() % 256;
    }
    std::vector<orn_uint32> src1(static_cast<size_t>(count)), src2(src1.size());
    std::vector<orn_uint8> rule(src1.size());
    for (size_t i = 0; i < src1.size(); ++i) {
      src1[i] = static_cast<orn_uint32>(random());
      src2[i] = static_cast<orn_uint32>(random());
      rule[i] = static_cast<orn_uint8>(random());
    }
    for (size_t form = 0; form < 2; ++form) {
      SCOPED_TRACE(testing::Message() << "round " << round << ", form " << form);
      std::vector<orn_uint32> plain = Fenced(src1), fast = Fenced(src1);
      blends[form].first(plain.data(), src1.data(), src2.data(), rule.data(), table.data(), count);
      blends[form].second(fast.data(), src1.data(), src2.data(), rule.data(), table.data(), count);
      EXPECT_EQ(plain, fast);
      switches[form].first(plain.data(), src1.data(), src2.data(), rule.data(), table.data(), count,
                           0, 0);
      switches[form].second(fast.data(), src1.data(), src2.data(), rule.data(), table.data(), count,
                            0, 0);
      EXPECT_EQ(plain, fast);
      ExpectGuardsAfter(fast, static_cast<size_t>(count));
      std::vector<orn_uint32> added = Fenced(src1), addedFast = Fenced(src1);
      ZANAddBlendRef(added.data(), src2.data(), count);
      ZANAddBlend(addedFast.data(), src2.data(), count);
      EXPECT_EQ(added, addedFast);
    }
  }
}

}  // namespace
}  // namespace zanhost
