// The demo at a small size: every file it names exists and decodes, and its
// page shows every contact sheet and before/after pair.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/png_reader.h"
#include "zanhost_fixture.h"

namespace zanhost::cli {
namespace {

using DemoCommandTest = ZanhostTest;

TEST_F(DemoCommandTest, WritesEveryFileItNames) {
  const ProgramResult result =
      Run({"demo", "--out", "gallery", "--size", "16x12", "--frames", "3"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::vector<std::string> written = FilesUnder("gallery");
  // 3 pictures, 8 rules, 4 transitions and 2 functions in motion x (3 frames,
  // sheet, animation where the build writes WebP), 3 functions x 2, the page.
  const size_t animations = FX_WRITES_WEBP ? 1 : 0;
  EXPECT_EQ(written.size(), 3u + 8 + 6 * (4 + animations) + 3 * 2 + 1);
  std::string page;
  for (const std::string &path : written) {
    ASSERT_TRUE(std::filesystem::is_regular_file(Path(path))) << path;
    if (path.size() > 5 && path.substr(path.size() - 5) == ".webp") {
      continue;
    }
    if (path.size() > 4 && path.substr(path.size() - 4) == ".png") {
      const PixelBuffer picture = ReadPng(Path(path));
      if (path.find("contact") == std::string::npos) {
        EXPECT_EQ(picture.Width(), 16) << path;
        EXPECT_EQ(picture.Height(), 12) << path;
      }
    } else {
      std::ifstream file(Path(path));
      std::ostringstream text;
      text << file.rdbuf();
      page = text.str();
    }
  }
  for (const char *shown :
       {"add/contact.png", "brightness/contact.png", "test/contact.png", "blur/before.png",
        "blur/after.png", "blur_alpha/after.png", "distortion/after.png", "test/frame-002.png",
        "add-clock/contact.png", "rules/noise.png", "rules/clock.png",
        "distortion-motion/frame-002.png"}) {
    EXPECT_NE(page.find(shown), std::string::npos) << shown;
  }
  for (const char *animation : {"add/animation.webp", "blur-motion/animation.webp"}) {
    EXPECT_EQ(page.find(animation) != std::string::npos, FX_WRITES_WEBP) << animation;
  }
}

TEST_F(DemoCommandTest, FunctionsChangeThePictures) {
  ASSERT_EQ(Run({"demo", "--size", "16x12", "--frames", "2"}).exitCode, 0);
  for (const char *function : {"blur", "blur_alpha", "distortion"}) {
    const std::string directory = std::string("demo-out/") + function;
    EXPECT_FALSE(SamePixels(ReadPng(Path(directory + "/before.png")),
                            ReadPng(Path(directory + "/after.png"))))
        << function;
  }
}

}  // namespace
}  // namespace zanhost::cli
