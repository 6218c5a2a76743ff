// Every command reads JPEG and WebP besides PNG, told apart by their content
// (the files here carry misleading names), and refuses anything else naming
// the file and the formats it reads.
// jpeglib.h needs size_t and FILE declared first.
// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <webp/encode.h>

#include "host/picture_reader.h"
#include "host/png_reader.h"
#include "host/png_writer.h"
#include "zanhost_fixture.h"

namespace zanhost::cli {
namespace {

using PictureFormatTest = ZanhostTest;

std::string LosslessWebp(const PixelBuffer &picture) {
  uint8_t *output = nullptr;
  const size_t size = WebPEncodeLosslessBGRA(picture.Origin(), picture.Width(), picture.Height(),
                                             picture.Pitch(), &output);
  std::string bytes(reinterpret_cast<const char *>(output), size);
  WebPFree(output);
  return bytes;
}

// A flat opaque picture of the colour as a JPEG of the best quality.
std::string FlatJpeg(int width, int height, const uint8_t (&rgb)[3]) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char *output = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &output, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row;
  for (int x = 0; x < width; ++x) {
    row.insert(row.end(), rgb, rgb + 3);
  }
  while (info.next_scanline < info.image_height) {
    JSAMPROW pointer = row.data();
    jpeg_write_scanlines(&info, &pointer, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string bytes(reinterpret_cast<const char *>(output), size);
  free(output);
  return bytes;
}

TEST_F(PictureFormatTest, WebpNamedAsAnythingArrivesExactly) {
  const PixelBuffer picture = PatternPicture(11, 7, 5);
  const ProgramResult result =
      Run({"blur", WriteFile("picture.bin", LosslessWebp(picture)), "0", "-o", "out.png"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(SamePixels(picture, ReadPng(Path("out.png"))));
}

TEST_F(PictureFormatTest, JpegNamedPngArrivesOpaqueInItsColour) {
  const uint8_t rgb[3] = {200, 60, 30};
  const ProgramResult result =
      Run({"blur", WriteFile("photo.png", FlatJpeg(16, 8, rgb)), "0", "-o", "out.png"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const PixelBuffer out = ReadPng(Path("out.png"));
  ASSERT_EQ(out.Width(), 16);
  ASSERT_EQ(out.Height(), 8);
  for (int y = 0; y < out.Height(); ++y) {
    for (int x = 0; x < out.Width(); ++x) {
      const uint32_t pixel = out.Row32(y)[x];
      EXPECT_EQ(pixel >> 24, 255u);
      for (int channel = 0; channel < 3; ++channel) {
        const int level = static_cast<int>((pixel >> (16 - 8 * channel)) & 0xFF);
        EXPECT_NEAR(level, rgb[channel], 3) << x << "," << y;
      }
    }
  }
}

std::string EncodedPng(const PixelBuffer &picture) {
  const std::vector<uint8_t> bytes = EncodePng(picture);
  return std::string(bytes.begin(), bytes.end());
}

// Opaque pictures are written as RGB, others as RGBA, grey levels as grey;
// each reads back to the same pixels, whatever the pitch.
TEST_F(PictureFormatTest, WrittenPngReadsBackExactlyInTheSmallestColourType) {
  const PixelBuffer translucent = PatternPicture(13, 5, 9);
  PixelBuffer opaque(13, 5, 32, -13 * 4 - 8);
  PixelBuffer onlyLastTranslucent(13, 5, 32);
  PixelBuffer grey(13, 5, 8);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 13; ++x) {
      opaque.Row32(y)[x] = translucent.Row32(y)[x] | 0xFF000000u;
      onlyLastTranslucent.Row32(y)[x] = opaque.Row32(y)[x];
      grey.Row(y)[x] = static_cast<uint8_t>(translucent.Row32(y)[x]);
    }
  }
  onlyLastTranslucent.Row32(4)[12] &= 0xFEFFFFFFu;
  const struct {
    const PixelBuffer *picture;
    uint8_t colourType;
  } cases[] = {{&translucent, 6}, {&opaque, 2}, {&onlyLastTranslucent, 6}, {&grey, 0}};
  for (const auto &c : cases) {
    const std::string file = EncodedPng(*c.picture);
    ASSERT_GT(file.size(), 25u);
    EXPECT_EQ(file[25], c.colourType);
    const PixelBuffer back = ReadPng(WriteFile("round.png", EncodedPng(*c.picture)));
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 13; ++x) {
        const uint32_t expected =
            c.colourType == 0 ? 0xFF000000u | 0x010101u * grey.Row(y)[x] : c.picture->Row32(y)[x];
        ASSERT_EQ(back.Row32(y)[x], expected) << x << "," << y;
      }
    }
  }
}

// The page shows a PNG source as the file itself, any other as the pixels read.
TEST_F(PictureFormatTest, PageInputsCopyPngSourcesAndEncodeOthers) {
  const uint8_t rgb[3] = {20, 160, 90};
  // Grey: encoded again, it would come out as RGB.
  PixelBuffer grey(16, 8, 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) {
      grey.Row(y)[x] = static_cast<uint8_t>(x * 16 + y);
    }
  }
  const std::string png = WriteFile("from.png", EncodedPng(grey));
  const std::string jpeg = WriteFile("to.png", FlatJpeg(16, 8, rgb));
  const ProgramResult result = Run({"transition", "test", "--from", png, "--to", jpeg, "--option",
                                    "time=9", "--at", "4", "--out", "out"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadFile("out/input-from.png"), ReadFile("from.png"));
  EXPECT_TRUE(SamePixels(ReadPicture(jpeg), ReadPng(Path("out/input-to.png"))));
}

TEST_F(PictureFormatTest, OtherFormatsAreRefusedNamingTheFileAndTheFormatsRead) {
  const struct {
    const char *name;
    std::string bytes;
  } cases[] = {
      {"anim.gif", "GIF89a\x01\x00\x01\x00\x00\x00\x00;"},
      {"short.png", "\x89PN"},
      {"broken.jpg", "\xff\xd8\xff\xe0 not really"},
      {"broken.webp", std::string("RIFF\x10\0\0\0WEBPVP8 ", 16)},
  };
  for (const auto &c : cases) {
    const ProgramResult result = Run({"blur", WriteFile(c.name, c.bytes), "1", "-o", "out.png"});
    EXPECT_EQ(result.exitCode, 1) << c.name;
    EXPECT_NE(result.err.find(c.name), std::string::npos) << result.err;
    EXPECT_FALSE(Exists("out.png")) << c.name;
  }
  const ProgramResult gif = Run({"blur", Path("anim.gif"), "1", "-o", "out.png"});
  EXPECT_NE(gif.err.find("PNG, JPEG and WebP"), std::string::npos) << gif.err;
}

}  // namespace
}  // namespace zanhost::cli
