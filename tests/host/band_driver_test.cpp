#include "host/band_driver.h"

#include <gtest/gtest.h>

#include <vector>

#include "host/host_ref.h"
#include "host/image_source.h"
#include "host/line_source.h"
#include "host/option_source.h"
#include "host/script_error.h"
#include "host/script_string.h"
#include "host_fixture.h"

namespace zanhost {
namespace {

constexpr orn_uint32 kFirst = 0xFF111111u;
constexpr orn_uint32 kSecond = 0xFF222222u;
constexpr orn_uint32 kPainted = 0xFF777777u;

// A wipe over 100 ticks: the first frame shows the first source, the last the
// second (both by redirection), frames between paint the band's lines whose
// top lies above the progress line.
class WipeHandler final : public iZANBandTransHandler {
 public:
  WipeHandler(int &live, std::vector<int> &bandHeights) : live_(live), bandHeights_(bandHeights) {
    ++live_;
  }
  orn_int AddRef() override { return ++references_, 0; }
  orn_int Release() override {
    if (--references_ == 0) {
      --live_;
      delete this;
    }
    return 0;
  }
  orn_int SetOptionSource(iZANOptionSource *) override { return 0; }
  orn_int BeginStep(uint64_t tick) override {
    if (!started_) {
      start_ = tick;
      started_ = true;
    }
    elapsed_ = tick - start_;
    return 1;
  }
  orn_int EndStep() override { return elapsed_ >= 100 ? 2 : 1; }
  orn_int ProcessBand(tZANBandData *band) override {
    bandHeights_.push_back(band->height);
    if (elapsed_ == 0 || elapsed_ >= 100) {
      iZANLineSource *source = elapsed_ == 0 ? band->src1 : band->src2;
      band->dest = source;
      band->destLeft = 0;
      band->destTop = band->top;
      return 0;
    }
    for (orn_int y = 0; y < band->height; ++y) {
      void *line = nullptr;
      if (band->dest->GetLineForWrite(band->destTop + y, &line) < 0) {
        return -1;
      }
      for (orn_int x = 0; x < band->width; ++x) {
        static_cast<orn_uint32 *>(line)[band->destLeft + x] = kPainted;
      }
    }
    return 0;
  }
  orn_int ChooseFinalImage(iZANLineSource **out, iZANLineSource *,
                           iZANLineSource *second) override {
    *out = second;
    return 0;
  }

 private:
  int &live_;
  std::vector<int> &bandHeights_;
  int references_ = 1;
  bool started_ = false;
  uint64_t start_ = 0;
  uint64_t elapsed_ = 0;
};

class WipeProvider : public iZANTransHandlerProvider {
 public:
  orn_int AddRef() override { return 0; }
  orn_int Release() override { return 0; }
  orn_int GetName(const orn_char **name) override {
    *name = u"wipe";
    return 0;
  }
  orn_int BeginTransition(iZANOptionSource *options, iZANImageSource *, orn_int, orn_int w1,
                          orn_int h1, orn_int w2, orn_int h2, orn_int *flag1, orn_int *flag2,
                          iZANBandTransHandler **handler) override {
    *flag1 = 1;
    *flag2 = 1;
    if (w1 != w2 || h1 != h2) {
      const ScriptString first(DecimalText(h2));
      const ScriptString second(DecimalText(h1));
      ZANThrowExceptionMessageWithStrings(u"layer size mismatch", first.Raw(), second.Raw());
    }
    if (options == nullptr) {
      return -1;
    }
    *handler = new WipeHandler(liveHandlers, bandHeights);
    return 0;
  }
  int liveHandlers = 0;
  std::vector<int> bandHeights;
};

BufferLineSource *Solid(int width, int height, orn_uint32 color, int pitch = 0) {
  PixelBuffer pixels(width, height, 32, pitch);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels.Row32(y)[x] = color;
    }
  }
  return BufferLineSource::Create(std::move(pixels));
}

class BandDriverTest : public HostTest {
 protected:
  void SetUp() override { env_.Registry().Add(&provider_); }
  void TearDown() override {
    env_.Registry().Remove(&provider_);
    EXPECT_EQ(provider_.liveHandlers, 0) << "handler not released";
    for (Ref<BufferLineSource> *image : {&src1_, &src2_, &dest_}) {
      image->Reset();
    }
    options_.Reset();
    HostTest::TearDown();
  }
  bool DestIsAll(orn_uint32 color) {
    const PixelBuffer &pixels = dest_->Pixels();
    for (int y = 0; y < pixels.Height(); ++y) {
      for (int x = 0; x < pixels.Width(); ++x) {
        if (pixels.Row32(y)[x] != color) {
          return false;
        }
      }
    }
    return true;
  }

  WipeProvider provider_;
  ImageSource images_;
  Ref<OptionSource> options_ = Ref<OptionSource>::Adopt(OptionSource::Create({}));
  Ref<BufferLineSource> src1_ = Ref<BufferLineSource>::Adopt(Solid(5, 7, kFirst));
  Ref<BufferLineSource> src2_ = Ref<BufferLineSource>::Adopt(Solid(5, 7, kSecond, -24));
  Ref<BufferLineSource> dest_ = Ref<BufferLineSource>::Adopt(Solid(5, 7, 0, 32));
};

TEST_F(BandDriverTest, FramesRedirectPaintAndFinish) {
  BandDriver driver(env_.Registry(), 3);
  ASSERT_EQ(
      driver.Start(u"wipe", options_.get(), &images_, 0, src1_.get(), src2_.get(), dest_.get()), 0);
  EXPECT_EQ(driver.ResultFlag1(), 1);
  FrameReport report = driver.RunFrame(1000);
  EXPECT_EQ(report.status, 1);
  EXPECT_FALSE(report.finished);
  EXPECT_TRUE(DestIsAll(kFirst));
  EXPECT_EQ(provider_.bandHeights, (std::vector<int>{3, 3, 1}));
  report = driver.RunFrame(1050);
  EXPECT_TRUE(DestIsAll(kPainted));
  report = driver.RunFrame(1100);
  EXPECT_TRUE(report.finished);
  EXPECT_TRUE(DestIsAll(kSecond));
  EXPECT_EQ(driver.FinalImage(), src2_.get());
  EXPECT_FALSE(driver.Running());
  EXPECT_EQ(provider_.liveHandlers, 0);
  EXPECT_EQ(driver.RunFrame(1200).status, -1);
}

TEST_F(BandDriverTest, ClockRunsUntilFinished) {
  BandDriver driver(env_.Registry(), 16);
  driver.Start(u"wipe", options_.get(), &images_, 0, src1_.get(), src2_.get(), dest_.get());
  const FrameReport report = driver.RunOnClock(0, 30, 10);
  EXPECT_TRUE(report.finished);
  EXPECT_EQ(driver.FramesRun(), 5);  // ticks 0, 30, 60, 90, 120
  EXPECT_TRUE(driver.Finished());
}

TEST_F(BandDriverTest, DestructionReleasesARunningHandler) {
  {
    BandDriver driver(env_.Registry(), 2);
    driver.Start(u"wipe", options_.get(), &images_, 0, src1_.get(), src2_.get(), dest_.get());
    driver.RunOnClock({0, 10});
    EXPECT_EQ(provider_.liveHandlers, 1);
  }
  EXPECT_EQ(provider_.liveHandlers, 0);
}

TEST_F(BandDriverTest, StartFailuresReportOrRaise) {
  BandDriver driver(env_.Registry(), 2);
  EXPECT_EQ(
      driver.Start(u"nothing", options_.get(), &images_, 0, src1_.get(), src2_.get(), dest_.get()),
      -1);
  EXPECT_EQ(driver.Start(u"wipe", nullptr, &images_, 0, src1_.get(), src2_.get(), dest_.get()), -1);
  EXPECT_FALSE(driver.Running());
  const Ref<BufferLineSource> taller = Ref<BufferLineSource>::Adopt(Solid(5, 8, kSecond));
  try {
    driver.Start(u"wipe", options_.get(), &images_, 0, src1_.get(), taller.get(), src1_.get());
    FAIL() << "nothing raised";
  } catch (const ScriptError &error) {
    EXPECT_EQ(error.Message(), u"layer size mismatch (8, 7)");
  }
  const Ref<BufferLineSource> small = Ref<BufferLineSource>::Adopt(Solid(4, 7, 0));
  EXPECT_EQ(
      driver.Start(u"wipe", options_.get(), &images_, 0, src1_.get(), src2_.get(), small.get()),
      -1);
}

TEST_F(BandDriverTest, FailingLineAccessIsReported) {
  BandDriver driver(env_.Registry(), 4);
  driver.Start(u"wipe", options_.get(), &images_, 0, src1_.get(), src2_.get(), dest_.get());
  src1_->FailGetLine(true);
  EXPECT_LT(driver.RunFrame(0).status, 0);
  dest_->FailGetLineForWrite(true);
  EXPECT_LT(driver.RunFrame(50).status, 0);
}

}  // namespace
}  // namespace zanhost
