// "distortion" at full opacity, called as a script calls it through the loaded
// module, next to memcpy of the same picture (the benchmark of that name).
#include "bench/bench_pictures.h"
#include "host/module_session.h"
#include "tests/layer_pictures.h"

namespace fxbench {
namespace {

using fxtest::LayerRef;

LayerRef LayerWith(tPictureSize size, const std::vector<uint32_t> &pixels) {
  LayerRef layer = fxtest::MakeLayer(size.width, size.height);
  fxtest::WritePicture(*layer, pixels);
  return layer;
}

// Periods of 64 rows at the top of the screen to 160 at its bottom: every row
// moves and shifts, both ways.
void RunDistortion(benchmark::State &state, tPictureSize size) {
  zanhost::ModuleSession host(FX_MODULE_PATH);
  const std::vector<uint32_t> pixels = MakePicture(size);
  LayerRef source = LayerWith(size, pixels);
  LayerRef dest = LayerWith(size, pixels);
  std::vector<zanhost::Variant> arguments = {
      zanhost::Variant::Object(source.get()), zanhost::Variant::Object(dest.get()),
      zanhost::Variant::Real(0.25), zanhost::Variant::Real(64.0), zanhost::Variant::Real(160.0)};
  for (auto _ : state) {
    if (zanhost::CallGlobalFunction(host.Host(), u"distortion", arguments) != 0) {
      state.SkipWithError("distortion failed");
      break;
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * size.width * size.height);
}

bool RegisterAll() {
  for (tPictureSize size : PictureSizes()) {
    benchmark::RegisterBenchmark(("distortion/opaque/" + SizeName(size)).c_str(), RunDistortion,
                                 size);
  }
  return true;
}

const bool kRegistered = RegisterAll();

}  // namespace
}  // namespace fxbench
