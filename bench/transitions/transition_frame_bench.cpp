// One whole frame of each transition, run by the reference host's band driver
// on the loaded module, halfway through the transition (every band blended).
// "brightness_start" times starting the transition and its first frame, which
// builds the rule (blur radius 8) and shows the first source.
#include <cstring>
#include <string>

#include "bench/bench_pictures.h"
#include "host/band_driver.h"
#include "host/host_ref.h"
#include "host/image_source.h"
#include "host/line_source.h"
#include "host/module_session.h"
#include "host/option_source.h"

namespace fxbench {
namespace {

using zanhost::OptionList;
using zanhost::Ref;
using zanhost::Variant;

constexpr int kBandHeight = 64;
constexpr tOVInteger kTime = 1000000;
constexpr uint64_t kHalfway = kTime / 2;

zanhost::PixelBuffer BufferOf(tPictureSize size, const std::vector<uint32_t> &pixels) {
  zanhost::PixelBuffer buffer(size.width, size.height, 32);
  for (int32_t i = 0; i < size.height; ++i) {
    std::memcpy(buffer.Row32(i), &pixels[size_t(i) * size.width], size_t(size.width) * 4);
  }
  return buffer;
}

Ref<zanhost::BufferLineSource> SourceOf(zanhost::PixelBuffer buffer) {
  return Ref<zanhost::BufferLineSource>::Adopt(
      zanhost::BufferLineSource::Create(std::move(buffer)));
}

OptionList OptionsFor(const std::string &transition) {
  OptionList options = {{u"time", Variant::Integer(kTime)}};
  if (transition == "add") {
    options.push_back({u"add", Variant::String(u"in")});
    options.push_back({u"rule", Variant::String(u"wave")});
  } else if (transition != "test") {
    options.push_back({u"rule", Variant::String(u"fore_dark")});
    options.push_back({u"blur", Variant::Integer(8)});
  }
  return options;
}

// The two pictures, a destination, the rule graphic "wave" and the options.
struct tFrameCase {
  zanhost::ModuleSession host{FX_MODULE_PATH};
  zanhost::ImageSource images;
  Ref<zanhost::BufferLineSource> src1, src2, dest;
  Ref<zanhost::OptionSource> options;

  tFrameCase(const std::string &transition, tPictureSize size) {
    const std::vector<uint32_t> first = MakePicture(size);
    std::vector<uint32_t> second(first.rbegin(), first.rend());
    src1 = SourceOf(BufferOf(size, first));
    src2 = SourceOf(BufferOf(size, second));
    dest = SourceOf(zanhost::PixelBuffer(size.width, size.height, 32));
    images.AddPicture(u"wave", BufferOf(size, first));
    options =
        Ref<zanhost::OptionSource>::Adopt(zanhost::OptionSource::Create(OptionsFor(transition)));
  }

  bool Start(zanhost::BandDriver &driver, const std::string &transition) {
    const std::u16string name(transition.begin(), transition.end());
    return driver.Start(name, options.get(), &images, 0, src1.get(), src2.get(), dest.get()) >= 0 &&
           driver.RunFrame(0).status >= 0;
  }
};

void RunFrame(benchmark::State &state, const std::string &transition, tPictureSize size) {
  tFrameCase c(transition, size);
  zanhost::BandDriver driver(c.host.Host().Registry(), kBandHeight);
  if (!c.Start(driver, transition)) {
    state.SkipWithError("transition did not start");
    return;
  }
  for (auto _ : state) {
    if (driver.RunFrame(kHalfway).status < 0) {
      state.SkipWithError("frame failed");
      break;
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * size.width * size.height);
}

void RunBrightnessStart(benchmark::State &state, tPictureSize size) {
  tFrameCase c("brightness", size);
  zanhost::BandDriver driver(c.host.Host().Registry(), kBandHeight);
  for (auto _ : state) {
    if (!c.Start(driver, "brightness")) {
      state.SkipWithError("transition did not start");
      break;
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * size.width * size.height);
}

bool RegisterAll() {
  for (tPictureSize size : PictureSizes()) {
    const std::string picture = SizeName(size);
    for (const char *transition : {"add", "brightness", "test"}) {
      benchmark::RegisterBenchmark(("frame/" + std::string(transition) + "/" + picture).c_str(),
                                   RunFrame, std::string(transition), size);
    }
    benchmark::RegisterBenchmark(("frame/brightness_start/" + picture).c_str(), RunBrightnessStart,
                                 size);
  }
  return true;
}

const bool kRegistered = RegisterAll();

}  // namespace
}  // namespace fxbench
