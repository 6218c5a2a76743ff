// The "test" wipe of the loaded module, run by the host's band driver: which
// rows show the second picture at which time, its refusals (status -1, never a
// raise), and bands whose lines cannot be had.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "host/band_driver.h"
#include "host/line_source.h"
#include "host/option_source.h"
#include "tests/loaded_module.h"

namespace fxtest {
namespace {

using zanhost::BufferLineSource;
using zanhost::OptionList;
using zanhost::OptionSource;
using zanhost::Ref;
using zanhost::Variant;

Ref<BufferLineSource> RandomSource(int width, int height, std::mt19937 &rng) {
  zanhost::PixelBuffer pixels(width, height, 32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels.Row32(y)[x] = static_cast<uint32_t>(rng());
    }
  }
  return Ref<BufferLineSource>::Adopt(BufferLineSource::Create(std::move(pixels)));
}

Ref<OptionSource> Options(OptionList options) {
  return Ref<OptionSource>::Adopt(OptionSource::Create(std::move(options)));
}

OptionList TimeOption(tOVInteger time) {
  return {{u"time", Variant::Integer(time)}};
}

bool SameRow(BufferLineSource &a, BufferLineSource &b, int y) {
  const int width = a.Pixels().Width();
  return std::equal(a.Pixels().Row32(y), a.Pixels().Row32(y) + width, b.Pixels().Row32(y));
}

class TestWipeTest : public LoadedModuleTest {
 protected:
  static constexpr int kWidth = 9;
  static constexpr int kHeight = 256;

  void TearDown() override {
    src1_.Reset();
    src2_.Reset();
    dest_.Reset();
    LoadedModuleTest::TearDown();
  }

  iZANTransHandlerProvider *Provider() { return env_.Registry().Find(u"test"); }

  // Starts the wipe over fresh random pictures.
  orn_int Start(zanhost::BandDriver &driver, iZANOptionSource *options) {
    return driver.Start(u"test", options, nullptr, 0, src1_.get(), src2_.get(), dest_.get());
  }

  // How many rows from the top show the second picture; -1 unless all rows
  // below them show the first.
  int RowsFromSecond() {
    int rows = 0;
    while (rows < kHeight && SameRow(*dest_, *src2_, rows)) {
      ++rows;
    }
    for (int y = rows; y < kHeight; ++y) {
      if (!SameRow(*dest_, *src1_, y)) {
        return -1;
      }
    }
    return rows;
  }

  std::mt19937 rng_{31};
  Ref<BufferLineSource> src1_ = RandomSource(kWidth, kHeight, rng_);
  Ref<BufferLineSource> src2_ = RandomSource(kWidth, kHeight, rng_);
  Ref<BufferLineSource> dest_ = RandomSource(kWidth, kHeight, rng_);
};

TEST_F(TestWipeTest, GetNameAcceptsANullSlot) {
  EXPECT_EQ(Provider()->GetName(nullptr), 0);
  const orn_char *name = nullptr;
  EXPECT_EQ(Provider()->GetName(&name), 0);
  EXPECT_EQ(zanhost::TextView(name), u"test");
}

TEST_F(TestWipeTest, RefusalsAnswerMinusOneWithoutMessage) {
  struct Case {
    const char *what;
    int width2, height2;
    std::optional<OptionList> options;  // none: a null option source
    bool handlerSlot;
  };
  const Case cases[] = {
      {"widths differ", kWidth + 1, kHeight, TimeOption(100), true},
      {"heights differ", kWidth, kHeight - 1, TimeOption(100), true},
      {"no option source", kWidth, kHeight, std::nullopt, true},
      {"no handler slot", kWidth, kHeight, TimeOption(100), false},
      {"no time", kWidth, kHeight, OptionList{{u"maxh", Variant::Integer(3)}}, true},
      {"empty time", kWidth, kHeight, OptionList{{u"time", Variant()}}, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    Ref<OptionSource> options = c.options ? Options(*c.options) : Ref<OptionSource>();
    orn_int flags[2] = {0, 0};
    iZANBandTransHandler *handler = nullptr;
    orn_int status = 0;
    EXPECT_NO_THROW(status = Provider()->BeginTransition(options.get(), nullptr, 0, kWidth, kHeight,
                                                         c.width2, c.height2, &flags[0], &flags[1],
                                                         c.handlerSlot ? &handler : nullptr));
    EXPECT_EQ(status, -1);
    EXPECT_EQ(handler, nullptr);
    EXPECT_EQ(flags[0], 1);
    EXPECT_EQ(flags[1], 1);
  }
}

TEST_F(TestWipeTest, RowsFromSecondFollowElapsedTime) {
  struct Case {
    const char *what;
    tOVInteger time;
    std::vector<uint64_t> ticks;
    int rowsFromSecond;  // (level * 256) / 255 + 1, or all rows
    bool finished;
  };
  const Case cases[] = {
      {"first step: level 0, row 0 only", 100, {5000}, 1, false},
      {"half of an even time: level 127", 100, {0, 50}, 127 * 256 / 255 + 1, false},
      {"level 252", 100, {0, 99}, 252 * 256 / 255 + 1, false},
      {"the time reached", 100, {0, 100}, kHeight, true},
      {"a tick before the start", 100, {1000, 999}, kHeight, true},
      {"negative time never ends", -1, {0, 1000000, 1000000000000000}, 1, false},
      {"time 0 ends at the first step", 0, {7}, kHeight, true},
      {"long time, exact level 127", tOVInteger{1} << 62, {0, uint64_t{1} << 61}, 128, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    Ref<OptionSource> options = Options(TimeOption(c.time));
    zanhost::BandDriver driver(env_.Registry(), 7);
    ASSERT_EQ(Start(driver, options.get()), 0);
    zanhost::FrameReport report{};
    for (uint64_t tick : c.ticks) {
      report = driver.RunFrame(tick);
      ASSERT_GE(report.status, 0);
    }
    EXPECT_EQ(report.finished, c.finished);
    EXPECT_EQ(RowsFromSecond(), c.rowsFromSecond);
    if (c.finished) {
      EXPECT_EQ(driver.FinalImage(), src2_.get());
    }
  }
}

TEST_F(TestWipeTest, ExtraOptionsChangeNothing) {
  OptionList extra = TimeOption(90);
  extra.emplace_back(u"maxh", Variant::Integer(7));
  extra.emplace_back(u"maxomega", Variant::Real(3.5));
  extra.emplace_back(u"bgcolor1", Variant::Integer(0xFF00FF));
  extra.emplace_back(u"bgcolor2", Variant::Integer(-1));
  extra.emplace_back(u"testtype", Variant::Integer(3));
  Ref<OptionSource> plain = Options(TimeOption(90));
  Ref<OptionSource> withExtras = Options(extra);
  Ref<BufferLineSource> other = RandomSource(kWidth, kHeight, rng_);
  zanhost::BandDriver first(env_.Registry(), 5);
  zanhost::BandDriver second(env_.Registry(), 5);
  ASSERT_EQ(Start(first, plain.get()), 0);
  ASSERT_EQ(
      second.Start(u"test", withExtras.get(), nullptr, 0, src1_.get(), src2_.get(), other.get()),
      0);
  for (uint64_t tick = 40; tick <= 130; tick += 13) {
    first.RunFrame(tick);
    second.RunFrame(tick);
    EXPECT_EQ(first.Finished(), second.Finished());
    for (int y = 0; y < kHeight; ++y) {
      ASSERT_TRUE(SameRow(*dest_, *other, y)) << "tick " << tick << ", row " << y;
    }
  }
}

TEST_F(TestWipeTest, FailedLineRequestKeepsEarlierRows) {
  Ref<OptionSource> options = Options(TimeOption(100));
  iZANBandTransHandler *raw = nullptr;
  orn_int flags[2];
  ASSERT_EQ(Provider()->BeginTransition(options.get(), nullptr, 0, kWidth, kHeight, kWidth, kHeight,
                                        &flags[0], &flags[1], &raw),
            0);
  Ref<iZANBandTransHandler> handler = Ref<iZANBandTransHandler>::Adopt(raw);
  ASSERT_EQ(handler->BeginStep(0), 1);
  // A band running three lines past the pictures: the lines inside are
  // copied, then the first missing line ends the band.
  tZANBandData band{};
  band.top = kHeight - 4;
  band.width = kWidth;
  band.height = 7;
  band.dest = dest_.get();
  band.destTop = kHeight - 4;
  band.src1 = src1_.get();
  band.src2 = src2_.get();
  EXPECT_EQ(handler->ProcessBand(&band), -1);
  for (int y = kHeight - 4; y < kHeight; ++y) {
    EXPECT_TRUE(SameRow(*dest_, *src1_, y)) << "row " << y;
  }
  // A source that gives no lines stops the band at once.
  src2_->FailGetLine(true);
  band.top = band.destTop = 0;
  EXPECT_EQ(handler->ProcessBand(&band), -1);
  EXPECT_FALSE(SameRow(*dest_, *src2_, 0));
  src2_->FailGetLine(false);
  dest_->FailGetLineForWrite(true);
  EXPECT_EQ(handler->ProcessBand(&band), -1);
  EXPECT_FALSE(SameRow(*dest_, *src2_, 0));
}

}  // namespace
}  // namespace fxtest
