// Animations end to end: functions in motion start or end at exactly the -o
// picture, the animated WebP holds one frame per frame lasting until the next
// one's time, and a page opened with #play moves (where Chromium is found).
#include <webp/demux.h>

#include <cstdlib>
#include <filesystem>

#include "host/png_reader.h"
#include "zanhost_fixture.h"

namespace zanhost::cli {
namespace {

class MotionTest : public ZanhostTest {
 protected:
  void SetUp() override {
    ZanhostTest::SetUp();
    WritePicture("a.png", PatternPicture(16, 12, 1));
    WritePicture("b.png", PatternPicture(16, 12, 2));
  }
};

struct AnimationFrame {
  PixelBuffer pixels{0, 0, 32};
  int endTime;
};

// Every frame of the animated WebP, as ARGB words, with its end time in ms.
std::vector<AnimationFrame> DecodeAnimation(const std::string &bytes, uint32_t &loops) {
  WebPData data{reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size()};
  WebPAnimDecoderOptions options;
  WebPAnimDecoderOptionsInit(&options);
  options.color_mode = MODE_BGRA;  // little-endian ARGB words
  WebPAnimDecoder *decoder = WebPAnimDecoderNew(&data, &options);
  std::vector<AnimationFrame> frames;
  if (decoder == nullptr) {
    return frames;
  }
  WebPAnimInfo info;
  WebPAnimDecoderGetInfo(decoder, &info);
  loops = info.loop_count;
  while (WebPAnimDecoderHasMoreFrames(decoder) != 0) {
    uint8_t *canvas = nullptr;
    int timestamp = 0;
    WebPAnimDecoderGetNext(decoder, &canvas, &timestamp);
    AnimationFrame &frame = frames.emplace_back();
    frame.pixels =
        PixelBuffer(static_cast<int>(info.canvas_width), static_cast<int>(info.canvas_height), 32);
    std::copy_n(canvas, frame.pixels.Bytes().size(), frame.pixels.Origin());
    frame.endTime = timestamp;
  }
  WebPAnimDecoderDelete(decoder);
  return frames;
}

TEST_F(MotionTest, DistortionFramesRunOneTurnFromTheSinglePicture) {
  const ProgramResult result = Run({"distortion", "a.png", "b.png", "0.25", "6", "9", "-o",
                                    "single.png", "--frames", "4", "--out", "wave"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(SamePixels(ReadPng(Path("single.png")), ReadPng(Path("wave/frame-000.png"))));
  EXPECT_FALSE(
      SamePixels(ReadPng(Path("wave/frame-000.png")), ReadPng(Path("wave/frame-002.png"))));
  const std::string page = ReadFile("wave/index.html");
  EXPECT_NE(page.find("data-times=\"[0,50,100,150]\""), std::string::npos);
  EXPECT_NE(page.find("phase=0.750"), std::string::npos);
  EXPECT_TRUE(Exists("wave/contact.png"));
}

TEST_F(MotionTest, BlurFramesGrowFromNothingToTheSinglePicture) {
  for (const char *function : {"blur", "blur_alpha"}) {
    const ProgramResult result =
        Run({function, "a.png", "3", "2", "-o", "single.png", "--frames", "3", "--out", "soft"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(SamePixels(ReadPng(Path("a.png")), ReadPng(Path("soft/frame-000.png"))))
        << function;
    EXPECT_TRUE(SamePixels(ReadPng(Path("single.png")), ReadPng(Path("soft/frame-002.png"))))
        << function;
    EXPECT_NE(ReadFile("soft/index.html").find("x=1 y=1"), std::string::npos) << function;
  }
}

TEST_F(MotionTest, MotionOptionsComeTogether) {
  for (const std::vector<std::string> &words : std::vector<std::vector<std::string>>{
           {"blur", "a.png", "1", "--frames", "3"},
           {"blur", "a.png", "1", "--out", "x"},
           {"blur", "a.png", "1", "--animation", "x.webp", "-o", "o.png"},
           {"blur", "a.png", "1"}}) {
    EXPECT_EQ(Run(words).exitCode, 2) << words.back();
  }
  EXPECT_FALSE(Exists("x"));
}

TEST_F(MotionTest, AnimationHasEachFrameUntilTheNextOnesTimeAndLoops) {
  const ProgramResult result =
      Run({"transition", "test", "--from", "a.png", "--to", "b.png", "--option", "time=400", "--at",
           "0,100,250", "--out", "out", "--animation", "out/a.webp"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  uint32_t loops = 1;
  const std::vector<AnimationFrame> frames = DecodeAnimation(ReadFile("out/a.webp"), loops);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(loops, 0u);  // for ever
  const int ends[] = {100, 250, 400};
  for (size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].endTime, ends[i]) << i;
    EXPECT_TRUE(
        SamePixels(ReadPng(Path("out/frame-00" + std::to_string(i) + ".png")), frames[i].pixels))
        << i;
  }
  EXPECT_NE(ReadFile("out/index.html").find("src=\"a.webp\""), std::string::npos);
}

TEST_F(MotionTest, AnimationRefusesTimesOutOfOrder) {
  const ProgramResult result =
      Run({"transition", "test", "--from", "a.png", "--to", "b.png", "--option", "time=400", "--at",
           "100,0", "--out", "out", "--animation", "a.webp"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("increase"), std::string::npos) << result.err;
  EXPECT_FALSE(Exists("out"));
  EXPECT_FALSE(Exists("a.webp"));
}

TEST_F(MotionTest, TransitionPageShowsItsPicturesAndRule) {
  WritePicture("r.png", PatternPicture(16, 12, 3));
  ASSERT_EQ(Run({"transition", "add", "--from", "a.png", "--to", "b.png", "--rule", "r.png",
                 "--option", "time=100", "--option", "add=in", "--frames", "2", "--out", "out"})
                .exitCode,
            0);
  const std::string page = ReadFile("out/index.html");
  for (const char *shown : {"input-from.png", "input-to.png", "input-rule.png", "<button"}) {
    EXPECT_NE(page.find(shown), std::string::npos) << shown;
  }
}

TEST_F(MotionTest, PageOpenedWithPlayMovesPastTheFirstFrame) {
  const char *const browser = "/usr/bin/chromium";
  if (!std::filesystem::exists(browser)) {
    GTEST_SKIP() << "no headless Chromium at " << browser << ": the player is not run";
  }
  ASSERT_EQ(Run({"transition", "test", "--from", "a.png", "--to", "b.png", "--option", "time=400",
                 "--frames", "8", "--out", "out"})
                .exitCode,
            0);
  const std::string command =
      std::string(browser) +
      " --headless --disable-gpu --no-sandbox --no-first-run"
      " --disable-background-networking --disable-component-update"
      " --disable-sync --user-data-dir=" +
      Path("browser-profile") + " --virtual-time-budget=1500 --dump-dom 'file://" +
      Path("out/index.html") + "#play' > " + Path("dom.html") + " 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string dom = ReadFile("dom.html");
  ASSERT_NE(dom.find("<button"), std::string::npos) << "the page did not load";
  EXPECT_EQ(dom.find("class=\"pic\" src=\"frame-000.png\""), std::string::npos)
      << "the player still shows the first frame";
}

}  // namespace
}  // namespace zanhost::cli
