#include <gtest/gtest.h>
#include <unistd.h>
#if FX_WITH_PNG
#include <png.h>
#endif

#include <cstdio>
#include <cstring>
#include <string>

#include "host/host_ref.h"
#include "host/image_source.h"
#include "host/line_source.h"
#include "host/option_source.h"
#include "host/transition_registry.h"
#include "host_fixture.h"

namespace zanhost {
namespace {

using TransitionSourcesTest = HostTest;

// A provider that only has a name.
class NamedProvider : public iZANTransHandlerProvider {
 public:
  explicit NamedProvider(const orn_char *name) : name_(name) {}
  orn_int AddRef() override { return ++references; }
  orn_int Release() override { return --references; }
  orn_int GetName(const orn_char **name) override {
    *name = name_;
    return 0;
  }
  orn_int BeginTransition(iZANOptionSource *, iZANImageSource *, orn_int, orn_int, orn_int, orn_int,
                          orn_int, orn_int *, orn_int *, iZANBandTransHandler **) override {
    return -1;
  }
  int references = 1;

 private:
  const orn_char *name_;
};

TEST_F(TransitionSourcesTest, RegistryHoldsOneReferencePerProvider) {
  NamedProvider add(u"add");
  NamedProvider test(u"test");
  ZANAddTransHandlerProvider(&add);
  ZANAddTransHandlerProvider(&add);
  ZANAddTransHandlerProvider(&test);
  EXPECT_EQ(add.references, 2);
  EXPECT_EQ(env_.Registry().Count(), 2u);
  EXPECT_EQ(env_.Registry().Find(u"test"), &test);
  EXPECT_EQ(env_.Registry().Find(u"tes"), nullptr);
  ZANRemoveTransHandlerProvider(&add);
  ZANRemoveTransHandlerProvider(&add);
  EXPECT_EQ(add.references, 1);
  EXPECT_EQ(env_.Registry().Find(u"add"), nullptr);
  {
    TransitionRegistry registry;
    registry.Add(&test);
    EXPECT_EQ(test.references, 3);
  }
  EXPECT_EQ(test.references, 2);
  ZANRemoveTransHandlerProvider(&test);
}

TEST_F(TransitionSourcesTest, OptionsAnswerByType) {
  OptionList list;
  list.emplace_back(u"time", Variant::Integer(1000));
  list.emplace_back(u"vague", Variant::Real(64.9));
  list.emplace_back(u"rule", Variant::String(u"wipe"));
  const Ref<OptionSource> options = Ref<OptionSource>::Adopt(OptionSource::Create(std::move(list)));
  tOVInteger number = -5;
  EXPECT_EQ(options->GetNumber(u"time", &number), 0);
  EXPECT_EQ(number, 1000);
  EXPECT_EQ(options->GetNumber(u"vague", &number), 0);
  EXPECT_EQ(number, 64);
  number = -5;
  EXPECT_LT(options->GetNumber(u"rule", &number), 0);
  EXPECT_LT(options->GetNumber(u"absent", &number), 0);
  EXPECT_LT(options->GetNumber(nullptr, &number), 0);
  EXPECT_EQ(number, -5);
  const orn_char *text = nullptr;
  EXPECT_EQ(options->GetString(u"rule", &text), 0);
  EXPECT_EQ(std::u16string(text), u"wipe");
  EXPECT_LT(options->GetString(u"time", &text), 0);
  Variant value = Variant::Integer(3);
  EXPECT_EQ(options->GetValue(u"rule", value.Raw()), 0);
  EXPECT_EQ(value.AsText(), u"wipe");
  EXPECT_LT(options->GetValue(u"absent", value.Raw()), 0);
}

TEST_F(TransitionSourcesTest, LineSourceStepsByNegativePitch) {
  PixelBuffer pixels(3, 4, 32, -16);
  for (int y = 0; y < 4; ++y) {
    pixels.Row32(y)[0] = static_cast<uint32_t>(y);
  }
  const Ref<BufferLineSource> source =
      Ref<BufferLineSource>::Adopt(BufferLineSource::Create(pixels));
  orn_int pitch = 0, width = 0, height = 0, bits = 0;
  source->GetPitch(&pitch);
  source->GetWidth(&width);
  source->GetHeight(&height);
  source->GetPixelFormat(&bits);
  EXPECT_EQ(pitch, -16);
  EXPECT_EQ(width * 100 + height, 304);
  EXPECT_EQ(bits, 32);
  const void *line0 = nullptr;
  ASSERT_EQ(source->GetLine(0, &line0), 0);
  const auto *row3 = static_cast<const uint8_t *>(line0) + 3 * pitch;
  EXPECT_EQ(*reinterpret_cast<const uint32_t *>(row3), 3u);
  EXPECT_LT(source->GetLine(4, &line0), 0);
  EXPECT_LT(source->GetLine(-1, &line0), 0);
}

TEST_F(TransitionSourcesTest, LineAccessorsFailOnDemand) {
  const Ref<BufferLineSource> source =
      Ref<BufferLineSource>::Adopt(BufferLineSource::Create(PixelBuffer(2, 2, 8)));
  const void *line = nullptr;
  void *writable = nullptr;
  source->FailGetLine(true);
  EXPECT_LT(source->GetLine(0, &line), 0);
  EXPECT_EQ(source->GetLineForWrite(0, &writable), 0);
  source->FailGetLineForWrite(true);
  EXPECT_LT(source->GetLineForWrite(0, &writable), 0);
}

PixelBuffer Picture2x2() {
  PixelBuffer picture(2, 2, 32);
  picture.Row32(0)[0] = 0xFFFF0000u;  // red
  picture.Row32(0)[1] = 0xFF00FF00u;  // green
  picture.Row32(1)[0] = 0xFF0000FFu;  // blue
  picture.Row32(1)[1] = 0x80FFFFFFu;  // half-transparent white
  return picture;
}

const orn_uint8 *Line8(iZANLineSource *image, orn_int y) {
  const void *line = nullptr;
  EXPECT_EQ(image->GetLine(y, &line), 0);
  return static_cast<const orn_uint8 *>(line);
}

TEST_F(TransitionSourcesTest, RegisteredPictureFitsAsGrey) {
  ImageSource images;
  images.AddPicture(u"quad", Picture2x2());
  iZANLineSource *image = nullptr;
  ASSERT_EQ(images.LoadImage(u"quad", 8, 0, 4, 3, &image), 0);
  const Ref<iZANLineSource> owner = Ref<iZANLineSource>::Adopt(image);
  // Rows 0 and 1 come from picture row 0, row 2 from picture row 1.
  const orn_uint8 red = (255 * 77) >> 8, green = (255 * 150) >> 8, blue = (255 * 29) >> 8;
  const orn_uint8 expected[3][4] = {
      {red, red, green, green}, {red, red, green, green}, {blue, blue, 255, 255}};
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(std::memcmp(Line8(image, y), expected[y], 4), 0) << "row " << y;
  }
  EXPECT_EQ(images.LoadCount(), 1);
}

TEST_F(TransitionSourcesTest, LoadFailuresAreNegativeAndWriteNothing) {
  ImageSource images;
  images.AddPicture(u"quad", Picture2x2());
  iZANLineSource *image = nullptr;
  EXPECT_LT(images.LoadImage(u"missing", 8, 0, 4, 4, &image), 0);
  EXPECT_LT(images.LoadImage(u"quad", 16, 0, 4, 4, &image), 0);
  EXPECT_LT(images.LoadImage(u"quad", 8, 0, 0, 4, &image), 0);
  EXPECT_LT(images.LoadImage(nullptr, 8, 0, 4, 4, &image), 0);
  EXPECT_EQ(image, nullptr);
  EXPECT_EQ(images.LoadCount(), 0);
}

#if FX_WITH_PNG
TEST_F(TransitionSourcesTest, PngFileLoadsAt32Bits) {
  const std::string directory = ::testing::TempDir();
  // One name per process: the plain and the sanitizer runs may overlap.
  const std::string name = "zanhost_quad_" + std::to_string(getpid());
  const std::string path = directory + "/" + name + ".png";
  const PixelBuffer picture = Picture2x2();
  png_image out;
  std::memset(&out, 0, sizeof out);
  out.version = PNG_IMAGE_VERSION;
  out.width = 2;
  out.height = 2;
  out.format = PNG_FORMAT_BGRA;
  ASSERT_NE(png_image_write_to_file(&out, path.c_str(), 0, picture.Origin(), 8, nullptr), 0);

  ImageSource images(directory);
  iZANLineSource *image = nullptr;
  ASSERT_EQ(images.LoadImage(std::u16string(name.begin(), name.end()).c_str(), 32, 0, 2, 2, &image),
            0);
  const Ref<iZANLineSource> owner = Ref<iZANLineSource>::Adopt(image);
  for (int y = 0; y < 2; ++y) {
    const void *line = nullptr;
    image->GetLine(y, &line);
    EXPECT_EQ(std::memcmp(line, picture.Row(y), 8), 0) << "row " << y;
  }
  std::remove(path.c_str());
}
#endif

}  // namespace
}  // namespace zanhost
