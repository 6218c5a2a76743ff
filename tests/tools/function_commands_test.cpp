// blur, blur_alpha and distortion end to end: the program's output decodes to
// exactly the plain reference result for the same pixels, and input of any PNG
// colour type arrives as 32-bit pixels.
#include <png.h>

#include <cstring>
#include <ostream>

#include "host/png_reader.h"
#include "reference/box_filter.h"
#include "reference/distortion.h"
#include "zanhost_fixture.h"

namespace zanhost::cli {
namespace {

using FunctionCommandTest = ZanhostTest;

struct BoxFilterCase {
  const char *function;
  std::vector<std::string> radii;
};

void PrintTo(const BoxFilterCase &c, std::ostream *out) {
  *out << c.function;
  for (const std::string &radius : c.radii) {
    *out << " " << radius;
  }
}

class BoxFilterCommandTest : public ZanhostTest,
                             public ::testing::WithParamInterface<BoxFilterCase> {};

TEST_P(BoxFilterCommandTest, OutputEqualsTheReference) {
  const BoxFilterCase &param = GetParam();
  const PixelBuffer picture = PatternPicture(13, 9, 7);
  std::vector<std::string> words = {param.function, WritePicture("in.png", picture)};
  words.insert(words.end(), param.radii.begin(), param.radii.end());
  words.insert(words.end(), {"-o", "out.png"});
  const ProgramResult result = Run(words);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "wrote out.png\n");
  PixelBuffer expected = picture;
  const int x = std::stoi(param.radii.front());
  fxref::ReferenceBoxFilter(expected, x, std::stoi(param.radii.back()),
                            std::string(param.function) == "blur"
                                ? fxref::tBoxFilter::Plain
                                : fxref::tBoxFilter::AlphaWeighted);
  EXPECT_TRUE(SamePixels(expected, ReadPng(Path("out.png"))));
}

INSTANTIATE_TEST_SUITE_P(Radii, BoxFilterCommandTest,
                         ::testing::Values(BoxFilterCase{"blur", {"2"}},
                                           BoxFilterCase{"blur", {"3", "1"}},
                                           BoxFilterCase{"blur_alpha", {"1"}},
                                           BoxFilterCase{"blur_alpha", {"6", "0"}}));

TEST_F(FunctionCommandTest, ZeroRadiusKeepsEveryByteAlphaIncluded) {
  const PixelBuffer picture = PatternPicture(7, 5, 3);
  const ProgramResult result = Run({"blur", WritePicture("in.png", picture), "0", "-o", "out.png"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(SamePixels(picture, ReadPng(Path("out.png"))));
}

TEST_F(FunctionCommandTest, DistortionOutputEqualsTheReference) {
  const PixelBuffer source = PatternPicture(16, 20, 1);
  const PixelBuffer destination = PatternPicture(16, 20, 2);
  const ProgramResult result =
      Run({"distortion", WritePicture("src.png", source), WritePicture("dst.png", destination),
           "0.25", "12", "40", "128", "-o", "out.png"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  PixelBuffer expected = destination;
  // The screen is as high as the pictures; the destination Layer sits at the top.
  fxref::ReferenceDistortion(expected, source, {0.25, 12, 40, 128, 20, 0});
  EXPECT_TRUE(SamePixels(expected, ReadPng(Path("out.png"))));
}

TEST_F(FunctionCommandTest, ScreenHeightStretchesTheWave) {
  const PixelBuffer source = PatternPicture(16, 20, 1);
  const std::string src = WritePicture("src.png", source);
  ASSERT_EQ(Run({"distortion", src, src, "0", "8", "64", "-o", "plain.png"}).exitCode, 0);
  ASSERT_EQ(
      Run({"distortion", src, src, "0", "8", "64", "--screen-height", "400", "-o", "tall.png"})
          .exitCode,
      0);
  EXPECT_FALSE(SamePixels(ReadPng(Path("plain.png")), ReadPng(Path("tall.png"))));
  PixelBuffer expected = source;
  fxref::ReferenceDistortion(expected, source, {0, 8, 64, 255, 400, 0});
  EXPECT_TRUE(SamePixels(expected, ReadPng(Path("tall.png"))));
}

// A PNG of another colour type, written with libpng's simplified writer.
void WriteOtherPng(const std::string &path, png_uint_32 format, const void *pixels,
                   const void *colormap, png_uint_32 colormapEntries) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = 2;
  image.height = 2;
  image.format = format;
  image.colormap_entries = colormapEntries;
  ASSERT_NE(png_image_write_to_file(&image, path.c_str(), 0, pixels, 0, colormap), 0);
}

TEST_F(FunctionCommandTest, GreyAndPalettePicturesArriveAsOpaque32Bit) {
  const uint8_t grey[] = {0, 80, 160, 255};
  WriteOtherPng(Path("grey.png"), PNG_FORMAT_GRAY, grey, nullptr, 0);
  const uint8_t indices[] = {0, 1, 1, 0};
  const uint8_t palette[] = {255, 0, 0, 0, 0, 255};
  WriteOtherPng(Path("palette.png"), PNG_FORMAT_RGB_COLORMAP, indices, palette, 2);
  const struct {
    const char *file;
    uint32_t topLeft;
    uint32_t topRight;
  } cases[] = {{"grey.png", 0xFF000000u, 0xFF505050u}, {"palette.png", 0xFFFF0000u, 0xFF0000FFu}};
  for (const auto &c : cases) {
    const ProgramResult result = Run({"blur", c.file, "0", "-o", "out.png"});
    ASSERT_EQ(result.exitCode, 0) << c.file << ": " << result.err;
    const PixelBuffer out = ReadPng(Path("out.png"));
    EXPECT_EQ(out.Row32(0)[0], c.topLeft) << c.file;
    EXPECT_EQ(out.Row32(0)[1], c.topRight) << c.file;
  }
}

}  // namespace
}  // namespace zanhost::cli
