// Tests that drive the transitions through the built module: the stage of
// two sources, a destination and a band driver, the pictures they show, and
// the loaded-module fixture with the transitions' own calls.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/band_driver.h"
#include "host/host_ref.h"
#include "host/image_source.h"
#include "host/line_source.h"
#include "host/option_source.h"
#include "host/pixel_buffer.h"
#include "tests/loaded_module.h"

namespace zanhost {

// A 32-bit picture whose pixel (x, y) is paint(x, y), rows `pitch` bytes apart
// (0: packed).
PixelBuffer Picture(int width, int height, const std::function<orn_uint32(int, int)> &paint,
                    int pitch = 0);
// Opaque pixels of seeded random colour.
PixelBuffer RandomPicture(int width, int height, unsigned seed, int pitch = 0);
// A grey rule graphic whose level climbs from 0 at the top left corner to 255
// at the bottom right, row after row.
PixelBuffer RuleRamp(int width, int height);
// The picture's pixels row after row.
std::vector<orn_uint32> PixelsOf(const PixelBuffer &picture);

// Two sources, a destination of the first source's geometry and a band driver
// for one transition.
class Stage {
 public:
  Stage(TransitionRegistry &registry, PixelBuffer first, PixelBuffer second, int bandHeight = 2);

  // Starts the named transition; rule graphics come from `images`.
  orn_int Start(std::u16string_view name, OptionList options, orn_int layerType = 0);
  FrameReport Frame(uint64_t tick) { return driver.RunFrame(tick); }
  // What the destination shows now.
  std::vector<orn_uint32> Shown() { return PixelsOf(dest->Pixels()); }

  ImageSource images;
  Ref<BufferLineSource> src1;
  Ref<BufferLineSource> src2;
  Ref<BufferLineSource> dest;
  BandDriver driver;
};

// Band `top`..`top + height - 1` of the stage, at the same place in all three
// images.
tZANBandData StageBand(Stage &stage, int top, int height);

// Options from name/value pairs.
OptionList Options(std::initializer_list<std::pair<std::u16string, Variant>> pairs);

// The loaded-module fixture (tests/loaded_module.h) with the transitions'
// own calls.
class LoadedModuleTest : public fxtest::LoadedModuleTest {
 protected:
  // The provider the module registered under `name`.
  iZANTransHandlerProvider *Provider(std::u16string_view name);
  // Starts the named transition on the stage straight through its provider,
  // with no driver: the handler, or null with a failure recorded.
  Ref<iZANBandTransHandler> BeginDirect(std::u16string_view name, Stage &stage, OptionList options,
                                        orn_int layerType = 0);
  // The message of the script error that Start raises; empty when none is.
  std::u16string StartError(std::u16string_view name, OptionList options, int width = 8,
                            int height = 6);
};

}  // namespace zanhost
