// Fuzz target for the three transitions: hostile option sets, picture sizes
// (equal or not, empty included), layer types, screens, band cuts and clocks
// that stand still, jump or go backwards, each run to its end. Starting must
// end as the option set calls for (a handler, -1, or the error of the first
// failing check) and never touch the handler slot on error; every frame must
// leave the sources and the frame's slack untouched and show exactly the
// reference frame (the blends of "add" and "brightness" at every phase, the
// wipe of "test"); and everything the handler held must be given back.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <iterator>
#include <string_view>
#include <vector>

#include "fuzz/band_cuts.h"
#include "fuzz/hostile_values.h"
#include "fuzz/loaded_host.h"
#include "fuzz/script_call.h"
#include "fuzz/transition_options.h"
#include "host/host_ref.h"
#include "host/image_source.h"
#include "host/script_error.h"
#include "reference/rule_frames.h"

namespace {

using zanhost::BufferLineSource;
using zanhost::PixelBuffer;
using zanhost::Ref;

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

// One started transition as its options set it: ticks to the end, the last
// phase (255 for "test", whose phase is its level) and what a frame shows.
struct tRun {
  std::u16string_view name;
  uint64_t time = 0;
  uint32_t maxPhase = 255;
  int32_t vague = 0;
  bool withAlpha = false;
  bool addIn = false;
  PixelBuffer rule{0, 0, 8};  // the rule levels of "add" and "brightness"
};

// The option's number as the option source gives it (integers and reals).
bool NumberOption(const zanhost::OptionList &list, std::u16string_view name, tOVInteger *value) {
  const zanhost::Variant *option = fxfuzz::FindOption(list, name);
  if (option == nullptr ||
      (option->Type() != zanhost::kVariantInteger && option->Type() != zanhost::kVariantReal)) {
    return false;
  }
  *value = option->AsInteger();
  return true;
}

const std::u16string *TextOption(const zanhost::OptionList &list, std::u16string_view name) {
  const zanhost::Variant *option = fxfuzz::FindOption(list, name);
  return option != nullptr ? zanhost::StringIn(*option->Raw()) : nullptr;
}

std::u16string SizeText(int width, int height) {
  return zanhost::VariantToText(*zanhost::Variant::Integer(width).Raw()) + u"x" +
         zanhost::VariantToText(*zanhost::Variant::Integer(height).Raw());
}

struct tStartCase {
  const zanhost::OptionList &list;
  bool withOptions;
  bool withImages;
  const PixelBuffer *first;
  const PixelBuffer *second;
  int width, height, width2, height2;
  const PixelBuffer *rules[2];  // "grey" and "flat" as registered
  std::u16string velFailure;    // the screen property that fails, if any
  orn_int layerType;
};

// "test": -1 without a "time", else the first option the host cannot convert.
fxfuzz::tCallOutcome ExpectedTestStart(const tStartCase &c, tRun &run) {
  const zanhost::Variant *time = fxfuzz::FindOption(c.list, u"time");
  if (time == nullptr || time->Type() == zanhost::kVariantEmpty) {
    return fxfuzz::tCallOutcome::Returned(-1);
  }
  for (const char16_t *name :
       {u"time", u"maxh", u"maxomega", u"bgcolor1", u"bgcolor2", u"testtype"}) {
    const zanhost::Variant *option = fxfuzz::FindOption(c.list, name);
    tOVInteger value = 0;
    std::u16string error;
    if (option != nullptr && option->Type() != zanhost::kVariantEmpty &&
        !fxfuzz::ConvertsToInteger(*option, &value, &error)) {
      return fxfuzz::tCallOutcome::Raised(error);
    }
  }
  run.time = static_cast<uint64_t>(time->AsInteger());
  return fxfuzz::tCallOutcome::Returned(0);
}

// How starting must end, the options read and checked in their order; when it
// gives a handler, `run` is what the transition then shows.
fxfuzz::tCallOutcome ExpectedStart(const tStartCase &c, tRun &run) {
  using fxfuzz::tCallOutcome;
  const bool sameSize = c.width2 == c.width && c.height2 == c.height;
  if (!c.withOptions || (run.name == u"test" && !sameSize)) {
    return tCallOutcome::Returned(-1);
  }
  if (run.name == u"test") {
    return ExpectedTestStart(c, run);
  }
  if (!sameSize) {
    return tCallOutcome::Raised(u"layer size mismatch (" + SizeText(c.width2, c.height2) + u", " +
                                SizeText(c.width, c.height) + u")");
  }
  tOVInteger time = 0;
  if (!NumberOption(c.list, u"time", &time)) {
    return tCallOutcome::Raised(u"specify option 'time'.");
  }
  run.time = static_cast<uint64_t>(time);
  tOVInteger vague = 64;
  NumberOption(c.list, u"vague", &vague);
  // The handler keeps vague's low 32 bits within -255..INT32_MAX - 255.
  run.vague = std::clamp<int32_t>(static_cast<int32_t>(vague), -255, INT32_MAX - 255);
  run.maxPhase = static_cast<uint32_t>(255 + run.vague);
  run.withAlpha = (c.layerType & 0xFF) != 0;
  if (run.name == u"add") {
    const std::u16string *add = TextOption(c.list, u"add");
    if (add == nullptr) {
      return tCallOutcome::Raised(u"specify option 'add'.");
    }
    if (*add != u"in" && *add != u"out") {
      return tCallOutcome::Raised(u"bad name '" + *add + u"' for option 'add'.");
    }
    run.addIn = *add == u"in";
    const std::u16string *rule = TextOption(c.list, u"rule");
    if (rule == nullptr) {
      return tCallOutcome::Raised(u"specify option 'rule'.");
    }
    const PixelBuffer *picture = *rule == u"grey"   ? c.rules[0]
                                 : *rule == u"flat" ? c.rules[1]
                                                    : nullptr;
    if (!c.withImages || picture == nullptr || picture->Width() < 1 || picture->Height() < 1 ||
        c.width < 1 || c.height < 1) {
      return tCallOutcome::Raised(u"cannot load rule graphic '" + *rule + u"'.");
    }
    if (!c.velFailure.empty()) {
      return tCallOutcome::Raised(u"invoking of vel." + c.velFailure + u" failed.");
    }
    run.rule = zanhost::FitPicture(*picture, 8, c.width, c.height);
    return tCallOutcome::Returned(0);
  }
  tOVInteger blur = 0;
  NumberOption(c.list, u"blur", &blur);
  if (blur < 0 || blur > static_cast<uint32_t>(c.width) / 2 ||
      blur > static_cast<uint32_t>(c.height) / 2) {
    return tCallOutcome::Raised(u"invalid range for option 'blur'.");
  }
  const std::u16string *rule = TextOption(c.list, u"rule");
  if (rule == nullptr) {
    return tCallOutcome::Raised(u"specify option 'rule'.");
  }
  constexpr std::u16string_view kRules[] = {u"fore_light", u"fore_dark", u"back_light",
                                            u"back_dark"};
  const auto *found = std::find(std::begin(kRules), std::end(kRules), *rule);
  if (found == std::end(kRules)) {
    return tCallOutcome::Raised(u"bad name '" + *rule + u"' for option 'rule'.");
  }
  const auto index = found - std::begin(kRules);  // "fore_" first, "_light" inverted
  run.rule = fxref::BrightnessRule(index < 2 ? *c.first : *c.second, static_cast<int>(blur),
                                   index % 2 == 0);
  return tCallOutcome::Returned(0);
}

// The frame a step must show: for "test" the second source down to the
// threshold and the first below it, for the rule transitions the reference blend.
void CheckFrame(const tRun &run, uint32_t phase, const fxfuzz::tFrameImages &images) {
  const PixelBuffer &frame = images.dest->Pixels();
  const PixelBuffer &first = images.src1->Pixels();
  const PixelBuffer &second = images.src2->Pixels();
  const fxref::tRuleStep step{static_cast<int32_t>(phase), run.vague, run.withAlpha};
  const PixelBuffer expected =
      run.name == u"add"          ? fxref::AddFrame(first, second, run.rule, run.addIn, step)
      : run.name == u"brightness" ? fxref::RuleFrame(first, second, run.rule, step)
                                  : PixelBuffer(0, 0, 32);
  for (int y = 0; y < frame.Height(); ++y) {
    const PixelBuffer *shown = &expected;
    if (run.name == u"test") {
      const int64_t threshold = int64_t{phase} * frame.Height() / 255;
      shown = y > threshold ? &first : &second;
    }
    fxfuzz::Require(SameRow(frame, *shown, y), "the frame differs from the reference");
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
void RunToTheEnd(FuzzedDataProvider &in, iZANBandTransHandler &handler, const tRun &run,
                 const fxfuzz::tFrameImages &images) {
  uint64_t tick = in.ConsumeBool() ? in.ConsumeIntegral<uint64_t>()
                                   : in.ConsumeIntegralInRange<uint64_t>(0, 1000);
  const uint64_t start = tick;
  const int frames = in.ConsumeIntegralInRange(1, 12);
  for (int frame = 0; frame <= frames; ++frame) {
    if (frame == frames) {
      tick = start + run.time;
    }
    fxfuzz::Require(handler.BeginStep(tick) >= 0, "BeginStep failed");
    const uint32_t phase = Progress(tick - start, run.time, run.maxPhase);
    fxfuzz::Require(fxfuzz::ProcessCutFrame(in, handler, images) >= 0, "ProcessBand failed");
    CheckFrame(run, phase, images);
    const orn_int end = handler.EndStep();
    fxfuzz::Require(end == (phase < run.maxPhase ? 1 : 2), "EndStep does not match the phase");
    if (end == 2) {
      iZANLineSource *final = nullptr;
      fxfuzz::Require(
          handler.ChooseFinalImage(&final, images.src1, images.src2) >= 0 && final == images.src2,
          "the final image is not the second source");
      return;
    }
    tick = NextTick(in, tick, run.time);
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
  const Ref<BufferLineSource> src1 = HostileImage(in, width, height);
  const Ref<BufferLineSource> src2 = HostileImage(in, width2, height2);
  const Ref<BufferLineSource> frame = HostileImage(in, width, height);
  const fxfuzz::tFrameImages images{frame.get(), src1.get(), src2.get()};

  zanhost::ImageSource rules("/no-such-folder");  // only the pictures registered here
  std::vector<PixelBuffer> rulePictures;
  for (const char16_t *rule : {u"grey", u"flat"}) {
    PixelBuffer picture(fxfuzz::PictureSide(in, 40), fxfuzz::PictureSide(in, 40), 32);
    fxfuzz::FillPixels(in, picture);
    rulePictures.push_back(picture);
    rules.AddPicture(rule, std::move(picture));
  }
  const zanhost::OptionList list = fxfuzz::HostileOptions(in, &host.Vel());
  const auto options = Ref<zanhost::OptionSource>::Adopt(zanhost::OptionSource::Create(list));
  host.Vel().SetInnerSize(static_cast<orn_int>(fxfuzz::HostileInteger(in, -2, 100)),
                          static_cast<orn_int>(fxfuzz::HostileInteger(in, -2, 100)));
  std::u16string velFailure;
  if (in.ConsumeIntegralInRange(0, 31) == 0) {
    velFailure = in.ConsumeBool() ? u"innerWidth" : u"innerHeight";
  }
  host.Vel().FailProperty(velFailure);
  const auto layerType = static_cast<orn_int>(fxfuzz::HostileInteger(in, 0, 1));
  const bool withOptions = in.ConsumeIntegralInRange(0, 31) != 0;
  const bool withImages = in.ConsumeIntegralInRange(0, 31) != 0;

  tRun run;
  run.name = name;
  const tStartCase start{
      list,       withOptions, withImages, &src1->Pixels(), &src2->Pixels(),
      width,      height,      width2,     height2,         {&rulePictures[0], &rulePictures[1]},
      velFailure, layerType};
  const fxfuzz::tCallOutcome wanted = ExpectedStart(start, run);
  const std::vector<uint8_t> src1Before = src1->Pixels().Bytes();
  const std::vector<uint8_t> src2Before = src2->Pixels().Bytes();
  const std::vector<uint8_t> frameSlack = Slack(frame->Pixels());
  iZANBandTransHandler *handler = nullptr;
  orn_int flags[2] = {0, 0};
  fxfuzz::tCallOutcome outcome;
  try {
    outcome = fxfuzz::tCallOutcome::Returned(provider->BeginTransition(
        withOptions ? options.get() : nullptr, withImages ? &rules : nullptr, layerType, width,
        height, width2, height2, &flags[0], &flags[1], &handler));
  } catch (const zanhost::ScriptError &error) {
    outcome = fxfuzz::tCallOutcome::Raised(error.Message());
    fxfuzz::Require(handler == nullptr, "the handler slot was written by a failed start");
  }
  host.Vel().FailProperty(u"");
  fxfuzz::RequireOutcome(outcome, wanted);
  fxfuzz::Require(flags[0] == 1 && flags[1] == 1, "the result words are not both 1");
  fxfuzz::Require((handler != nullptr) == (!wanted.raised && wanted.status == 0),
                  "valid options made no handler, or a failed start made one");
  if (handler != nullptr) {
    const auto owner = Ref<iZANBandTransHandler>::Adopt(handler);
    RunToTheEnd(in, *handler, run, images);
  }
  fxfuzz::Require(src1->Pixels().Bytes() == src1Before && src2->Pixels().Bytes() == src2Before,
                  "a source was written");
  fxfuzz::Require(Slack(frame->Pixels()) == frameSlack, "the frame was written outside its rows");
  return 0;
}
