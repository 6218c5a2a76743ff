// "distortion" at full opacity, called as a script calls it through the loaded
// module, next to memcpy of the same picture (the benchmark of that name).
#include <cstring>

#include "bench/bench_pictures.h"
#include "bench/loaded_host.h"
#include "host/host_ref.h"
#include "host/layer_object.h"

namespace fxbench {
namespace {

using LayerRef = zanhost::Ref<zanhost::LayerObject>;

LayerRef LayerWith(tPictureSize size, const std::vector<uint32_t> &pixels) {
  LayerRef layer = LayerRef::Adopt(zanhost::LayerObject::Create(size.width, size.height));
  for (int32_t i = 0; i < size.height; ++i) {
    std::memcpy(layer->Pixels()->Row32(i), &pixels[size_t(i) * size.width], size_t(size.width) * 4);
  }
  return layer;
}

// Periods of 64 rows at the top of the screen to 160 at its bottom: every row
// moves and shifts, both ways.
void RunDistortion(benchmark::State &state, tPictureSize size) {
  tLoadedHost host;
  const std::vector<uint32_t> pixels = MakePicture(size);
  LayerRef source = LayerWith(size, pixels);
  LayerRef dest = LayerWith(size, pixels);
  std::vector<zanhost::Variant> arguments = {
      zanhost::Variant::Object(source.get()), zanhost::Variant::Object(dest.get()),
      zanhost::Variant::Real(0.25), zanhost::Variant::Real(64.0), zanhost::Variant::Real(160.0)};
  for (auto _ : state) {
    if (host.Call(u"distortion", arguments) != 0) {
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
