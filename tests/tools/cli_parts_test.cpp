// The program's parts that carry their own rules: the argument parser, the
// frame clock with its easing, and the reading of script values.
#include <gtest/gtest.h>

#include "tools/cli_error.h"
#include "tools/command_line.h"
#include "tools/frame_clock.h"
#include "tools/script_values.h"

namespace zanhost::cli {
namespace {

const std::vector<OptionSpec> kOptions = {
    OptionSpec{"out", 'o'}, OptionSpec{"tag", '\0', true, true}, OptionSpec{"quiet", '\0', false}};

TEST(CommandLineTest, SplitsOptionsFromPositionalsAndNegativeNumbers) {
  const ParsedArguments parsed = ParseArguments(
      {"in.png", "-1", "-o", "x.png", "--tag=a", "-.5", "--tag", "b", "--quiet", "--", "--out"},
      kOptions);
  EXPECT_EQ(parsed.Positionals(), (std::vector<std::string>{"in.png", "-1", "-.5", "--out"}));
  EXPECT_EQ(parsed.Value("out"), "x.png");
  EXPECT_EQ(parsed.Values("tag"), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(parsed.Has("quiet"));
}

TEST(CommandLineTest, RefusesWhatItCannotRead) {
  const std::vector<std::vector<std::string>> bad = {
      {"--nope"}, {"-x"}, {"-out"}, {"--out"}, {"--quiet=yes"}, {"-o", "a", "--out", "b"}};
  for (const auto &words : bad) {
    EXPECT_THROW(ParseArguments(words, kOptions), UsageError) << words[0];
  }
  EXPECT_THROW(ParseInteger("12abc", "--n", 0, 100), UsageError);
  EXPECT_THROW(ParseInteger(" 12", "--n", 0, 100), UsageError);
  EXPECT_THROW(ParseInteger("99999999999", "--n", 0, 100), UsageError);
  EXPECT_EQ(ParseInteger("-7", "--n", -10, 10), -7);
}

TEST(FrameClockTest, EvenTimesSpanTheWholeDurationWithoutOverflow) {
  const std::vector<FrameTime> times = EvenFrameTimes(100, 4, Easing::kLinear);
  ASSERT_EQ(times.size(), 4u);
  EXPECT_EQ(times[0].time, 0u);
  EXPECT_EQ(times[1].time, 33u);
  EXPECT_EQ(times[3].time, 100u);
  const uint64_t huge = uint64_t{1} << 62;
  EXPECT_EQ(EvenFrameTimes(huge, 3, Easing::kLinear)[1].time, huge / 2);
  EXPECT_EQ(EvenFrameTimes(huge, 3, Easing::kLinear)[2].tick, huge);
}

TEST(FrameClockTest, EasingWarpsTicksButNotTheEnds) {
  const struct {
    Easing easing;
    uint64_t tickAtQuarter;
  } cases[] = {
      {Easing::kLinear, 250}, {Easing::kIn, 63}, {Easing::kOut, 438}, {Easing::kInOut, 125}};
  for (const auto &c : cases) {
    EXPECT_EQ(WarpedTime(250, 1000, c.easing).tick, c.tickAtQuarter);
    EXPECT_EQ(WarpedTime(250, 1000, c.easing).time, 250u);
    EXPECT_EQ(WarpedTime(0, 1000, c.easing).tick, 0u);
    EXPECT_EQ(WarpedTime(1000, 1000, c.easing).tick, 1000u);
    EXPECT_EQ(WarpedTime(1500, 1000, c.easing).tick, 1500u);
  }
  EXPECT_DOUBLE_EQ(Ease(Easing::kInOut, 0.75), 0.875);
  EXPECT_EQ(ParseTimeList("0,10,5"), (std::vector<uint64_t>{0, 10, 5}));
  EXPECT_THROW(ParseTimeList("1,,2"), UsageError);
}

TEST(ScriptValuesTest, NumbersBecomeIntegersOrRealsAndTheRestText) {
  const struct {
    const char *text;
    tORNVariantType type;
  } cases[] = {{"12", kVariantInteger},  {"-3", kVariantInteger},
               {"0.25", kVariantReal},   {"-1e3", kVariantReal},
               {"in", kVariantString},   {"nan", kVariantString},
               {"0x10", kVariantString}, {"", kVariantString},
               {"12 ", kVariantString},  {"99999999999999999999", kVariantReal}};
  for (const auto &c : cases) {
    EXPECT_EQ(ScriptValueFromText(c.text).Type(), c.type) << c.text;
  }
  EXPECT_EQ(ScriptValueFromText("-3").AsInteger(), -3);
  EXPECT_EQ(Utf8ToUtf16("h\xc3\xa9\xf0\x9f\x98\x80\xff"), u"h\u00e9\U0001F600\uFFFD");
  const auto [name, value] = ParseOption("rule=fore_dark=x");
  EXPECT_EQ(name, u"rule");
  EXPECT_EQ(value.AsText(), u"fore_dark=x");
}

}  // namespace
}  // namespace zanhost::cli
