#include "tests/transitions/loaded_module_fixture.h"

#include <algorithm>
#include <random>

#include "host/script_error.h"

namespace zanhost {

PixelBuffer Picture(int width, int height, const std::function<orn_uint32(int, int)> &paint,
                    int pitch) {
  PixelBuffer picture(width, height, 32, pitch);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      picture.Row32(y)[x] = paint(x, y);
    }
  }
  return picture;
}

PixelBuffer RandomPicture(int width, int height, unsigned seed, int pitch) {
  std::mt19937 random(seed);
  return Picture(
      width, height,
      [&](int, int) { return 0xFF000000u | (static_cast<orn_uint32>(random()) >> 8); }, pitch);
}

PixelBuffer RuleRamp(int width, int height) {
  const int last = std::max(width * height - 1, 1);
  return Picture(width, height, [&](int x, int y) {
    const auto level = static_cast<orn_uint32>((y * width + x) * 255 / last);
    return 0xFF000000u | level * 0x010101u;
  });
}

std::vector<orn_uint32> PixelsOf(const PixelBuffer &picture) {
  std::vector<orn_uint32> pixels;
  for (int y = 0; y < picture.Height(); ++y) {
    pixels.insert(pixels.end(), picture.Row32(y), picture.Row32(y) + picture.Width());
  }
  return pixels;
}

Stage::Stage(TransitionRegistry &registry, PixelBuffer first, PixelBuffer second, int bandHeight)
    : src1(Ref<BufferLineSource>::Adopt(BufferLineSource::Create(std::move(first)))),
      src2(Ref<BufferLineSource>::Adopt(BufferLineSource::Create(std::move(second)))),
      dest(Ref<BufferLineSource>::Adopt(BufferLineSource::Create(PixelBuffer(
          src1->Pixels().Width(), src1->Pixels().Height(), 32, src1->Pixels().Pitch())))),
      driver(registry, bandHeight) {}

orn_int Stage::Start(std::u16string_view name, OptionList options, orn_int layerType) {
  const Ref<OptionSource> source =
      Ref<OptionSource>::Adopt(OptionSource::Create(std::move(options)));
  return driver.Start(name, source.get(), &images, layerType, src1.get(), src2.get(), dest.get());
}

tZANBandData StageBand(Stage &stage, int top, int height) {
  tZANBandData band{};
  band.top = top;
  band.width = stage.src1->Pixels().Width();
  band.height = height;
  band.dest = stage.dest.get();
  band.destTop = top;
  band.src1 = stage.src1.get();
  band.src1Top = top;
  band.src2 = stage.src2.get();
  band.src2Top = top;
  return band;
}

OptionList Options(std::initializer_list<std::pair<std::u16string, Variant>> pairs) {
  return OptionList(pairs.begin(), pairs.end());
}

iZANTransHandlerProvider *LoadedModuleTest::Provider(std::u16string_view name) {
  return env_.Registry().Find(name);
}

Ref<iZANBandTransHandler> LoadedModuleTest::BeginDirect(std::u16string_view name, Stage &stage,
                                                        OptionList options, orn_int layerType) {
  const Ref<OptionSource> source =
      Ref<OptionSource>::Adopt(OptionSource::Create(std::move(options)));
  const PixelBuffer &first = stage.src1->Pixels();
  const PixelBuffer &second = stage.src2->Pixels();
  orn_int flags[2] = {0, 0};
  iZANBandTransHandler *handler = nullptr;
  EXPECT_EQ(Provider(name)->BeginTransition(source.get(), &stage.images, layerType, first.Width(),
                                            first.Height(), second.Width(), second.Height(),
                                            &flags[0], &flags[1], &handler),
            0);
  EXPECT_NE(handler, nullptr);
  return Ref<iZANBandTransHandler>::Adopt(handler);
}

std::u16string LoadedModuleTest::StartError(std::u16string_view name, OptionList options, int width,
                                            int height) {
  Stage stage(env_.Registry(), RandomPicture(width, height, 1), RandomPicture(width, height, 2));
  stage.images.AddPicture(u"rule", RandomPicture(width, height, 3));
  try {
    stage.Start(name, std::move(options));
  } catch (const ScriptError &error) {
    return error.Message();
  }
  return u"";
}

}  // namespace zanhost
