// The transition command end to end: which frames it writes and when, what
// they show at the ends, the options reaching the module, --at, --easing and
// the gallery page.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/image_source.h"
#include "host/png_reader.h"
#include "reference/rule_frames.h"
#include "zanhost_fixture.h"

namespace zanhost::cli {
namespace {

void MakeOpaque(PixelBuffer &picture) {
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      picture.Row32(y)[x] |= 0xFF000000u;
    }
  }
}

class TransitionCommandTest : public ZanhostTest {
 protected:
  void SetUp() override {
    ZanhostTest::SetUp();
    from_ = PatternPicture(12, 10, 1);
    to_ = PatternPicture(12, 10, 2);
    WritePicture("a.png", from_);
    WritePicture("b.png", to_);
    MakeOpaque(opaqueFrom_ = from_);
    MakeOpaque(opaqueTo_ = to_);
  }

  ProgramResult RunTransition(const std::string &name, std::vector<std::string> extra) {
    std::vector<std::string> words = {"transition", name,    "--from", "a.png",
                                      "--to",       "b.png", "--out",  "out"};
    words.insert(words.end(), extra.begin(), extra.end());
    return Run(words);
  }

  std::string ReadText(const std::string &name) const {
    std::ifstream file(Path(name));
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }

  PixelBuffer from_{0, 0, 32};
  PixelBuffer to_{0, 0, 32};
  // What frames of layer type 0 show of them.
  PixelBuffer opaqueFrom_{0, 0, 32};
  PixelBuffer opaqueTo_{0, 0, 32};
};

TEST_F(TransitionCommandTest, WritesEveryFrameSheetAndPage) {
  const ProgramResult result = RunTransition("test", {"--option", "time=90", "--frames", "4"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::vector<std::string> expected = {
      "out/contact.png",   "out/frame-000.png", "out/frame-001.png",  "out/frame-002.png",
      "out/frame-003.png", "out/index.html",    "out/input-from.png", "out/input-to.png"};
  EXPECT_EQ(FilesUnder("out"), expected);
  EXPECT_EQ(result.out,
            "wrote 4 frames, contact.png, input-from.png, input-to.png and index.html to out\n");
  for (int frame = 0; frame < 4; ++frame) {
    const PixelBuffer picture = ReadPng(Path(expected[static_cast<size_t>(frame) + 1]));
    EXPECT_EQ(picture.Width(), 12);
    EXPECT_EQ(picture.Height(), 10);
  }
  EXPECT_GT(ReadPng(Path("out/contact.png")).Width(), 12);
  const std::string page = ReadText("out/index.html");
  for (const char *piece : {"contact.png", "frame-003.png", "t=30", "type=\"range\""}) {
    EXPECT_NE(page.find(piece), std::string::npos) << piece;
  }
  EXPECT_FALSE(std::filesystem::exists(Path("out/frame-004.png")));
}

// Rule transitions show the first picture at their first step, the reference
// blend half way (phase 159 of 319) and the second at their last; "test" ends
// on the second.
TEST_F(TransitionCommandTest, FramesRunFromTheFirstPictureToTheSecond) {
  const fxref::tRuleStep halfWay{159, 64, false};
  const struct {
    const char *name;
    std::vector<std::string> options;
    PixelBuffer halfWay;
  } cases[] = {
      {"add",
       {"--option", "add=out", "--option", "rule=b.png"},
       fxref::AddFrame(from_, to_, FitPicture(to_, 8, 12, 10), false, halfWay)},
      {"brightness",
       {"--option", "rule=back_light", "--option", "blur=2"},
       fxref::RuleFrame(from_, to_, fxref::BrightnessRule(to_, 2, true), halfWay)},
  };
  for (const auto &c : cases) {
    std::vector<std::string> extra = c.options;
    extra.insert(extra.end(), {"--option", "time=100", "--frames", "3", "--band", "3"});
    const ProgramResult result = RunTransition(c.name, extra);
    ASSERT_EQ(result.exitCode, 0) << c.name << ": " << result.err;
    PixelBuffer opaqueHalfWay = c.halfWay;
    MakeOpaque(opaqueHalfWay);
    EXPECT_TRUE(SamePixels(opaqueFrom_, ReadPng(Path("out/frame-000.png")))) << c.name;
    EXPECT_TRUE(SamePixels(opaqueHalfWay, ReadPng(Path("out/frame-001.png")))) << c.name;
    EXPECT_TRUE(SamePixels(opaqueTo_, ReadPng(Path("out/frame-002.png")))) << c.name;
  }
  ASSERT_EQ(RunTransition("test", {"--option", "time=10", "--frames", "2"}).exitCode, 0);
  PixelBuffer wipeStart = opaqueFrom_;  // level 0: only row 0 shows the second picture
  std::copy_n(opaqueTo_.Row32(0), opaqueTo_.Width(), wipeStart.Row32(0));
  EXPECT_TRUE(SamePixels(wipeStart, ReadPng(Path("out/frame-000.png"))));
  EXPECT_TRUE(SamePixels(opaqueTo_, ReadPng(Path("out/frame-001.png"))));
}

TEST_F(TransitionCommandTest, RulePictureIsRegisteredUnderTheRuleOption) {
  WritePicture("wipe.png", PatternPicture(5, 5, 9));
  const struct {
    std::vector<std::string> extra;
  } cases[] = {
      {{"--rule", "wipe.png"}},
      {{"--rule", "wipe.png", "--option", "rule=my-wipe"}},
  };
  for (const auto &c : cases) {
    std::vector<std::string> extra = c.extra;
    extra.insert(extra.end(), {"--option", "time=10", "--option", "add=in", "--frames", "2"});
    const ProgramResult result = RunTransition("add", extra);
    EXPECT_EQ(result.exitCode, 0) << result.err;
  }
}

// Each --at time comes from a fresh start, so it matches the same moment of
// a continuous run; an eased clock at half time gives the linear clock's
// quarter ("in": progress squared).
TEST_F(TransitionCommandTest, AtAndEasingPickTheMomentsOfTheClock) {
  const std::vector<std::string> add = {"--option", "time=100", "--option",
                                        "add=in",   "--option", "rule=b.png"};
  auto run = [&](std::vector<std::string> extra, const std::string &frame) {
    extra.insert(extra.begin(), add.begin(), add.end());
    const ProgramResult result = RunTransition("add", extra);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return ReadPng(Path("out/" + frame));
  };
  const PixelBuffer quarter = run({"--frames", "5"}, "frame-001.png");
  PixelBuffer expected =
      fxref::AddFrame(from_, to_, FitPicture(to_, 8, 12, 10), true, {25 * 319 / 100, 64, false});
  MakeOpaque(expected);
  EXPECT_TRUE(SamePixels(expected, quarter));
  EXPECT_TRUE(SamePixels(quarter, run({"--at", "25"}, "frame-000.png")));
  EXPECT_TRUE(SamePixels(quarter, run({"--at", "50", "--easing", "in"}, "frame-000.png")));
  EXPECT_FALSE(SamePixels(quarter, run({"--at", "50"}, "frame-000.png")));

  const ProgramResult several = RunTransition(
      "add",
      {"--option", "time=100", "--option", "add=in", "--option", "rule=b.png", "--at", "0,75,200"});
  ASSERT_EQ(several.exitCode, 0) << several.err;
  EXPECT_EQ(FilesUnder("out").size(), 8u);  // with the two pictures and the rule
  EXPECT_TRUE(SamePixels(opaqueTo_, ReadPng(Path("out/frame-002.png"))));
}

TEST_F(TransitionCommandTest, ZeroTimeFinishesAtTheFirstFrame) {
  const ProgramResult result = RunTransition("test", {"--option", "time=0", "--frames", "5"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "wrote 1 frame, contact.png, input-from.png, input-to.png and index.html to out\n");
  EXPECT_TRUE(SamePixels(opaqueTo_, ReadPng(Path("out/frame-000.png"))));
}

bool EveryAlphaIs255(const PixelBuffer &picture) {
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      if (picture.Row32(y)[x] >> 24 != 255) {
        return false;
      }
    }
  }
  return true;
}

// Layer type 0: the first and last frames, which the transition passes
// through from the pictures, are as opaque as those between; a nonzero type
// keeps alpha in every frame.
TEST_F(TransitionCommandTest, EveryFrameTreatsAlphaAlike) {
  const std::vector<std::string> add = {"--option", "time=100",   "--option", "add=in",
                                        "--option", "rule=b.png", "--frames", "3"};
  for (const char *frame : {"frame-000.png", "frame-001.png", "frame-002.png", "contact.png"}) {
    SCOPED_TRACE(frame);
    ASSERT_EQ(RunTransition("add", add).exitCode, 0);
    EXPECT_TRUE(EveryAlphaIs255(ReadPng(Path(std::string("out/") + frame))));
    std::vector<std::string> withAlpha = add;
    withAlpha.insert(withAlpha.end(), {"--layer-type", "1"});
    ASSERT_EQ(RunTransition("add", withAlpha).exitCode, 0);
    if (std::string(frame) != "contact.png") {
      EXPECT_FALSE(EveryAlphaIs255(ReadPng(Path(std::string("out/") + frame))));
    }
  }
  EXPECT_TRUE(SamePixels(from_, ReadPng(Path("out/frame-000.png"))));
  EXPECT_TRUE(SamePixels(to_, ReadPng(Path("out/frame-002.png"))));
}

#ifndef _WIN32
// On a terminal the progress line is ended before the summary is printed.
TEST_F(TransitionCommandTest, ProgressLineEndsBeforeTheSummary) {
  const ProgramResult result = RunOnTerminal({"transition", "test", "--from", "a.png", "--to",
                                              "b.png", "--out", "out", "--option", "time=90"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("\rtest: frame 24/24\r\nwrote 24 frames, contact.png, input-from.png, "
                            "input-to.png and index.html to out\r\n"),
            std::string::npos)
      << result.out;
}
#endif

TEST_F(TransitionCommandTest, QuietPrintsNothing) {
  const ProgramResult quiet =
      RunTransition("test", {"--option", "time=90", "--frames", "2", "--quiet"});
  EXPECT_EQ(quiet.exitCode, 0) << quiet.err;
  EXPECT_EQ(quiet.out + quiet.err, "");
}

}  // namespace
}  // namespace zanhost::cli
