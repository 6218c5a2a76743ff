// Fuzz target for the three transitions: hostile option sets, picture sizes
// (equal or not, empty included), layer types, screens, band cuts and clocks
// that stand still, jump or go backwards, each run to its end. Starting must
// give a handler or a known error and never touch the handler slot on error;
// every frame must leave the sources and the frame's slack untouched, show the
// first source at phase 0, the second at the end and the exact wipe of "test";
// and everything the handler held must be given back.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <iterator>
#include <string_view>
#include <vector>

#include "fuzz/band_cuts.h"
#include "fuzz/hostile_values.h"
#include "fuzz/loaded_host.h"
#include "fuzz/transition_options.h"
#include "host/host_ref.h"
#include "host/image_source.h"
#include "host/script_error.h"

namespace {

using zanhost::BufferLineSource;
using zanhost::PixelBuffer;
using zanhost::Ref;

constexpr std::u16string_view kKnownErrors[] = {
    u"specify option",
    u"bad name '",
    u"invalid range for option 'blur'.",
    u"cannot load rule graphic",
    u"invoking of global.vel failed.",
    u"invoking of vel.innerWidth failed.",
    u"invoking of vel.innerHeight failed.",
    u"layer size mismatch",
    u"the text \"",  // the host's conversions of options "test" reads
    u"the value cannot be converted to a number",
};

bool IsKnownError(const std::u16string &message) {
  return std::any_of(std::begin(kKnownErrors), std::end(kKnownErrors),
                     [&](std::u16string_view known) { return message.rfind(known, 0) == 0; });
}

Ref<BufferLineSource> HostileImage(FuzzedDataProvider &in, int width, int height) {
  auto image = Ref<BufferLineSource>::Adopt(
      BufferLineSource::Create(PixelBuffer(width, height, 32, fxfuzz::HostilePitch(in, width))));
  fxfuzz::FillPixels(in, image->Pixels());
  return image;
}

// The bytes of a picture outside its pixels (the slack after each row).
std::vector<uint8_t> Slack(const PixelBuffer &picture) {
  std::vector<uint8_t> bytes = picture.Bytes();
  for (int y = 0; y < picture.Height(); ++y) {
    const auto offset = static_cast<size_t>(picture.Row(y) - picture.Bytes().data());
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), picture.Width() * 4, 0);
  }
  return bytes;
}

bool SameRow(const PixelBuffer &a, const PixelBuffer &b, int y) {
  return std::equal(a.Row32(y), a.Row32(y) + a.Width(), b.Row32(y));
}

// Where the module's clock puts a step: the progress toward `scale` after
// `elapsed` of `time` ticks, `scale` from `time` on.
uint32_t Progress(uint64_t elapsed, uint64_t time, uint32_t scale) {
  if (elapsed >= time) {
    return scale;
  }
  return static_cast<uint32_t>(static_cast<unsigned __int128>(elapsed) * scale / time);
}

// The transition's clock as the options set it: ticks to the end and the last
// phase (255 for "test", whose phase is its level).
struct tClock {
  uint64_t time = 0;
  uint32_t maxPhase = 0;
  bool wipe = false;  // "test"
};

tClock ClockOf(std::u16string_view name, zanhost::OptionSource &options,
               const zanhost::OptionList &list) {
  tClock clock;
  if (name == u"test") {
    clock.wipe = true;
    clock.maxPhase = 255;
    clock.time =
        static_cast<uint64_t>(zanhost::VariantToInteger(fxfuzz::FindOption(list, u"time")->Raw()));
    return clock;
  }
  tOVInteger time = 0;
  tOVInteger vague = 64;
  options.GetNumber(u"time", &time);
  if (options.GetNumber(u"vague", &vague) < 0) {
    vague = 64;
  }
  clock.time = static_cast<uint64_t>(time);
  // vague is taken at its low 32 bits and kept within -255..INT32_MAX - 255.
  clock.maxPhase = static_cast<uint32_t>(
      255 + std::clamp<int64_t>(static_cast<int32_t>(vague), -255, INT32_MAX - 255));
  return clock;
}

// The frame a step must show where it is defined: the first source at phase 0,
// the second at the last phase; for "test", the second down to the threshold.
void CheckFrame(const tClock &clock, uint32_t phase, const fxfuzz::tFrameImages &images) {
  const PixelBuffer &frame = images.dest->Pixels();
  for (int y = 0; y < frame.Height(); ++y) {
    const PixelBuffer *shown = nullptr;
    if (clock.wipe) {
      const int64_t threshold = int64_t{phase} * frame.Height() / 255;
      shown = y > threshold ? &images.src1->Pixels() : &images.src2->Pixels();
    } else if (phase == 0) {
      shown = &images.src1->Pixels();
    } else if (phase == clock.maxPhase) {
      shown = &images.src2->Pixels();
    }
    fxfuzz::Require(shown == nullptr || SameRow(frame, *shown, y),
                    "the frame does not show the defined picture");
  }
}

uint64_t NextTick(FuzzedDataProvider &in, uint64_t tick, uint64_t time) {
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0:
      return tick;
    case 1:
      return tick - in.ConsumeIntegralInRange<uint64_t>(1, 50);  // backwards
    case 2:
      return in.ConsumeIntegral<uint64_t>();
    default:
      return tick + in.ConsumeIntegralInRange<uint64_t>(0, std::max<uint64_t>(time / 4, 1));
  }
}

// Runs frames until the handler finishes; the last frame is at the end of the
// transition's time.
void RunToTheEnd(FuzzedDataProvider &in, iZANBandTransHandler &handler, const tClock &clock,
                 const fxfuzz::tFrameImages &images) {
  uint64_t tick = in.ConsumeBool() ? in.ConsumeIntegral<uint64_t>()
                                   : in.ConsumeIntegralInRange<uint64_t>(0, 1000);
  const uint64_t start = tick;
  const int frames = in.ConsumeIntegralInRange(1, 12);
  for (int frame = 0; frame <= frames; ++frame) {
    if (frame == frames) {
      tick = start + clock.time;
    }
    fxfuzz::Require(handler.BeginStep(tick) >= 0, "BeginStep failed");
    const uint32_t phase = Progress(tick - start, clock.time, clock.maxPhase);
    fxfuzz::Require(fxfuzz::ProcessCutFrame(in, handler, images) >= 0, "ProcessBand failed");
    CheckFrame(clock, phase, images);
    const orn_int end = handler.EndStep();
    fxfuzz::Require(end == (phase < clock.maxPhase ? 1 : 2), "EndStep does not match the phase");
    if (end == 2) {
      iZANLineSource *final = nullptr;
      fxfuzz::Require(
          handler.ChooseFinalImage(&final, images.src1, images.src2) >= 0 && final == images.src2,
          "the final image is not the second source");
      return;
    }
    tick = NextTick(in, tick, clock.time);
  }
  fxfuzz::Require(false, "the transition did not end at its time");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fxfuzz::LoadedHost();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzedDataProvider in(data, size);
  zanhost::Environment &host = fxfuzz::LoadedHost();
  const fxfuzz::tLedgerCheck ledger;

  constexpr std::u16string_view kNames[] = {u"add", u"brightness", u"test"};
  const std::u16string_view name = in.PickValueInArray(kNames);
  iZANTransHandlerProvider *provider = host.Registry().Find(name);
  fxfuzz::Require(provider != nullptr, "a transition is not registered");

  const int width = fxfuzz::PictureSide(in, 64);
  const int height = fxfuzz::PictureSide(in, 64);
  const bool resize = in.ConsumeIntegralInRange(0, 7) == 0;
  const int width2 = resize ? fxfuzz::PictureSide(in, 64) : width;
  const int height2 = resize ? fxfuzz::PictureSide(in, 64) : height;
  const bool sameSize = width2 == width && height2 == height;
  const Ref<BufferLineSource> src1 = HostileImage(in, width, height);
  const Ref<BufferLineSource> src2 = HostileImage(in, width2, height2);
  const Ref<BufferLineSource> frame = HostileImage(in, width, height);
  const fxfuzz::tFrameImages images{frame.get(), src1.get(), src2.get()};

  zanhost::ImageSource rules;
  for (const char16_t *rule : {u"grey", u"flat"}) {
    PixelBuffer picture(fxfuzz::PictureSide(in, 40), fxfuzz::PictureSide(in, 40), 32);
    fxfuzz::FillPixels(in, picture);
    rules.AddPicture(rule, std::move(picture));
  }
  const zanhost::OptionList list = fxfuzz::HostileOptions(in, &host.Vel());
  const auto options = Ref<zanhost::OptionSource>::Adopt(zanhost::OptionSource::Create(list));
  host.Vel().SetInnerSize(static_cast<orn_int>(fxfuzz::HostileInteger(in, -2, 100)),
                          static_cast<orn_int>(fxfuzz::HostileInteger(in, -2, 100)));
  if (in.ConsumeIntegralInRange(0, 31) == 0) {
    host.Vel().FailProperty(in.ConsumeBool() ? u"innerWidth" : u"innerHeight");
  }
  const auto layerType = static_cast<orn_int>(fxfuzz::HostileInteger(in, 0, 1));
  const bool withOptions = in.ConsumeIntegralInRange(0, 31) != 0;
  const bool withImages = in.ConsumeIntegralInRange(0, 31) != 0;

  const std::vector<uint8_t> src1Before = src1->Pixels().Bytes();
  const std::vector<uint8_t> src2Before = src2->Pixels().Bytes();
  const std::vector<uint8_t> frameSlack = Slack(frame->Pixels());
  iZANBandTransHandler *handler = nullptr;
  orn_int flags[2] = {0, 0};
  orn_int status = -1;
  try {
    status = provider->BeginTransition(withOptions ? options.get() : nullptr,
                                       withImages ? &rules : nullptr, layerType, width, height,
                                       width2, height2, &flags[0], &flags[1], &handler);
  } catch (const zanhost::ScriptError &error) {
    fxfuzz::Require(IsKnownError(error.Message()), "an unknown error was raised");
    fxfuzz::Require(handler == nullptr, "the handler slot was written by a failed start");
  }
  host.Vel().FailProperty(u"");
  fxfuzz::Require(flags[0] == 1 && flags[1] == 1, "the result words are not both 1");
  fxfuzz::Require(status >= 0 || handler == nullptr, "a failed start made a handler");
  if (name == u"test" && !sameSize) {
    fxfuzz::Require(status < 0, "\"test\" started on sources of different sizes");
  }
  if (handler != nullptr) {
    const auto owner = Ref<iZANBandTransHandler>::Adopt(handler);
    fxfuzz::Require(sameSize, "a transition started on sources of different sizes");
    RunToTheEnd(in, *handler, ClockOf(name, *options, list), images);
  }
  fxfuzz::Require(src1->Pixels().Bytes() == src1Before && src2->Pixels().Bytes() == src2Before,
                  "a source was written");
  fxfuzz::Require(Slack(frame->Pixels()) == frameSlack, "the frame was written outside its rows");
  return 0;
}
