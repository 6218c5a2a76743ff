// The three transitions given what a script or an engine may give them: a
// "time" of 0 or below, "vague" far below zero or huge, "blur" beyond any
// picture, a clock that goes backwards, a screen narrower than the pictures, no
// image source, a rule graphic smaller than the pictures, sources that cannot
// give their lines. Each either raises a clear error or runs to a defined end,
// and gives back everything it held.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "host/band_driver.h"
#include "host/host_ref.h"
#include "host/image_source.h"
#include "host/line_source.h"
#include "host/option_source.h"
#include "tests/loaded_module.h"

namespace {

using zanhost::BandDriver;
using zanhost::BufferLineSource;
using zanhost::OptionList;
using zanhost::PixelBuffer;
using zanhost::Ref;
using zanhost::Variant;

constexpr int kWidth = 8;
constexpr int kHeight = 6;
constexpr int64_t kLargest = std::numeric_limits<int64_t>::max();

class TransitionRobustnessTest : public fxtest::LoadedModuleTest {
 protected:
  TransitionRobustnessTest()
      : src1_(Picture(0xFF102030u)), src2_(Picture(0xFFC0B0A0u)), dest_(Picture(0)) {
    PixelBuffer rule(kWidth, kHeight, 32);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        rule.Row32(y)[x] = 0xFF000000u + uint32_t(x * 30 + y * 7) * 0x010101u;
      }
    }
    images_.AddPicture(u"ramp", std::move(rule));
  }

  void TearDown() override {
    for (Ref<BufferLineSource> *picture : {&src1_, &src2_, &dest_}) {
      picture->Reset();
    }
    fxtest::LoadedModuleTest::TearDown();
  }

  static Ref<BufferLineSource> Picture(uint32_t color) {
    auto image = Ref<BufferLineSource>::Adopt(
        BufferLineSource::Create(PixelBuffer(kWidth, kHeight, 32, (kWidth + 1) * 4)));
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        image->Pixels().Row32(y)[x] = color + uint32_t(y * kWidth + x);
      }
    }
    return image;
  }

  // The options that make `name` run, with `changes` put over them.
  static OptionList Options(const char16_t *name, const OptionList &changes) {
    OptionList options{
        {u"time", Variant::Integer(100)},
        {u"add", Variant::String(u"in")},
        {u"rule", Variant::String(std::u16string(name) == u"add" ? u"ramp" : u"fore_dark")}};
    for (const auto &change : changes) {
      options.push_back(change);
    }
    // A later entry of the same name wins: put the changes first.
    std::reverse(options.begin(), options.end());
    return options;
  }

  orn_int Start(BandDriver &driver, const char16_t *name, const OptionList &changes,
                zanhost::ImageSource *images) {
    const auto options =
        Ref<zanhost::OptionSource>::Adopt(zanhost::OptionSource::Create(Options(name, changes)));
    return driver.Start(name, options.get(), images, 0, src1_.get(), src2_.get(), dest_.get());
  }

  bool FrameShows(const Ref<BufferLineSource> &picture) const {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x <= kWidth; ++x) {  // the word of slack included
        if (dest_->Pixels().Row32(y)[x] != (x < kWidth ? picture->Pixels().Row32(y)[x] : 0)) {
          return false;
        }
      }
    }
    return true;
  }

  zanhost::ImageSource images_;
  Ref<BufferLineSource> src1_;
  Ref<BufferLineSource> src2_;
  Ref<BufferLineSource> dest_;
};

struct tEndCase {
  const char *label;
  const char16_t *name;
  OptionList changes;
  std::vector<uint64_t> ticks;
  int framesToEnd;   // the frame at which EndStep answers 2
  bool showsSecond;  // the last frame shows the second source (else the first)
};

TEST_F(TransitionRobustnessTest, ExtremeTimingRunsToADefinedEnd) {
  const std::vector<uint64_t> steady{1000, 1040, 1080, 1120};
  const std::vector<uint64_t> backwards{1000, 1040, 990, 2000};
  const tEndCase cases[] = {
      {"add, time 0", u"add", {{u"time", Variant::Integer(0)}}, steady, 1, true},
      {"brightness, time 0", u"brightness", {{u"time", Variant::Integer(0)}}, steady, 1, true},
      {"test, time 0", u"test", {{u"time", Variant::Integer(0)}}, steady, 1, true},
      {"add, clock backwards", u"add", {}, backwards, 3, true},
      {"brightness, clock backwards", u"brightness", {}, backwards, 3, true},
      {"test, clock backwards", u"test", {}, backwards, 3, true},
      // maxPhase 0: the first step is final and shows the first source.
      {"add, vague far below 0", u"add", {{u"vague", Variant::Integer(-100000)}}, steady, 1, false},
      {"brightness, vague -256",
       u"brightness",
       {{u"vague", Variant::Integer(-256)}},
       steady,
       1,
       false},
      {"add, vague with low bits -1",
       u"add",
       {{u"vague", Variant::Integer(kLargest)}},
       steady,
       4,
       true},
      {"brightness, vague 2^31 - 1",
       u"brightness",
       {{u"vague", Variant::Integer(std::numeric_limits<int32_t>::max())}},
       steady,
       4,
       true},
      {"add, time 2^64 - 1 reached",
       u"add",
       {{u"time", Variant::Integer(-1)}},
       {5, 100, 4},
       3,
       true},
  };
  for (const tEndCase &test : cases) {
    SCOPED_TRACE(test.label);
    BandDriver driver(env_.Registry(), 4);
    ASSERT_EQ(Start(driver, test.name, test.changes, &images_), 0);
    for (size_t frame = 0; frame < test.ticks.size() && !driver.Finished(); ++frame) {
      EXPECT_GE(driver.RunFrame(test.ticks[frame]).status, 0);
    }
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(driver.FramesRun(), test.framesToEnd);
    EXPECT_EQ(driver.FinalImage(), src2_.get());
    EXPECT_TRUE(FrameShows(test.showsSecond ? src2_ : src1_));
  }
}

TEST_F(TransitionRobustnessTest, EmptyPicturesRunToTheEnd) {
  for (const auto &[width, height] : {std::pair{0, 4}, std::pair{5, 0}, std::pair{0, 0}}) {
    for (const char16_t *name : {u"brightness", u"test"}) {
      SCOPED_TRACE(::testing::Message() << width << "x" << height);
      auto empty = [&] {
        return Ref<BufferLineSource>::Adopt(
            BufferLineSource::Create(PixelBuffer(width, height, 32)));
      };
      const Ref<BufferLineSource> first = empty(), second = empty(), frame = empty();
      const auto options =
          Ref<zanhost::OptionSource>::Adopt(zanhost::OptionSource::Create(Options(name, {})));
      BandDriver driver(env_.Registry(), 4);
      ASSERT_EQ(
          driver.Start(name, options.get(), &images_, 0, first.get(), second.get(), frame.get()),
          0);
      EXPECT_GE(driver.RunOnClock(0, 40, 4).status, 0);
      EXPECT_TRUE(driver.Finished());
    }
  }
}

TEST_F(TransitionRobustnessTest, NegativeTimeNeverEndsByItself) {
  // Taken as unsigned, -1 ticks is the longest time there is.
  for (const char16_t *name : {u"add", u"brightness", u"test"}) {
    BandDriver driver(env_.Registry(), 4);
    ASSERT_EQ(Start(driver, name, {{u"time", Variant::Integer(-1)}}, &images_), 0);
    const zanhost::FrameReport report = driver.RunOnClock(0, uint64_t{1} << 40, 20);
    EXPECT_GE(report.status, 0);
    EXPECT_FALSE(driver.Finished());
  }
}

TEST_F(TransitionRobustnessTest, ScreenWidthDoesNotChangeTheBlend) {
  std::vector<std::vector<uint8_t>> frames;
  for (const orn_int screenWidth : {640, 1, 0, -5, std::numeric_limits<orn_int>::max()}) {
    env_.Vel().SetInnerSize(screenWidth, 480);
    BandDriver driver(env_.Registry(), 4);
    ASSERT_EQ(Start(driver, u"add", {}, &images_), 0);
    driver.RunFrame(0);
    EXPECT_GE(driver.RunFrame(50).status, 0);
    frames.push_back(dest_->Pixels().Bytes());
  }
  for (size_t i = 1; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i], frames[0]) << "screen " << i;
  }
}

// Hands out a rule graphic smaller than asked for.
class ShrinkingImageSource : public iZANImageSource {
 public:
  orn_int LoadImage(const orn_char *, orn_int bitsPerPixel, orn_uint32, orn_int width,
                    orn_int height, iZANLineSource **image) override {
    *image = BufferLineSource::Create(PixelBuffer(width / 2, height, bitsPerPixel));
    return 0;
  }
};

TEST_F(TransitionRobustnessTest, RuleGraphicThatCannotServeTheBandsIsRefused) {
  ShrinkingImageSource shrinking;
  const struct {
    const char *label;
    iZANImageSource *images;
  } cases[] = {{"no image source", nullptr}, {"smaller graphic", &shrinking}};
  for (const auto &test : cases) {
    SCOPED_TRACE(test.label);
    const auto options =
        Ref<zanhost::OptionSource>::Adopt(zanhost::OptionSource::Create(Options(u"add", {})));
    BandDriver driver(env_.Registry(), 4);
    try {
      driver.Start(u"add", options.get(), test.images, 0, src1_.get(), src2_.get(), dest_.get());
      ADD_FAILURE() << "no error raised";
    } catch (const zanhost::ScriptError &error) {
      // How the host places the name beside the message is the host's own.
      EXPECT_EQ(error.Message().rfind(u"cannot load rule graphic", 0), 0u);
      EXPECT_NE(error.Message().find(u"ramp"), std::u16string::npos);
    }
    EXPECT_FALSE(driver.Running());
  }
}

TEST_F(TransitionRobustnessTest, BlurBeyondAnyPictureIsRefused) {
  for (const int64_t blur : {kLargest, int64_t{1} << 32, std::numeric_limits<int64_t>::min(),
                             int64_t{kHeight / 2 + 1}}) {
    BandDriver driver(env_.Registry(), 4);
    try {
      Start(driver, u"brightness", {{u"blur", Variant::Integer(blur)}}, &images_);
      ADD_FAILURE() << "blur " << blur << " accepted";
    } catch (const zanhost::ScriptError &error) {
      EXPECT_EQ(error.Message(), u"invalid range for option 'blur'.");
    }
  }
}

TEST_F(TransitionRobustnessTest, SourcesWithoutLinesFailTheFrameAndLeaveItAlone) {
  const struct {
    const char *label;
    const char16_t *name;
    bool failsFrame;  // else the band is left as it was
  } cases[] = {{"brightness builds no rule", u"brightness", true},
               {"add blends nothing", u"add", false},
               {"test copies nothing", u"test", true}};
  for (const auto &test : cases) {
    SCOPED_TRACE(test.label);
    BandDriver driver(env_.Registry(), 4);
    ASSERT_EQ(Start(driver, test.name, {{u"time", Variant::Integer(100)}}, &images_), 0);
    if (std::u16string(test.name) == u"add") {
      EXPECT_GE(driver.RunFrame(0).status, 0);  // phase 0 reads no line
    }
    const std::vector<uint8_t> before = dest_->Pixels().Bytes();
    src1_->FailGetLine(true);
    const zanhost::FrameReport report = driver.RunFrame(50);
    src1_->FailGetLine(false);
    EXPECT_EQ(report.status < 0, test.failsFrame);
    if (!test.failsFrame) {
      EXPECT_EQ(dest_->Pixels().Bytes(), before);
    }
  }
}

}  // namespace
