#include "tools/frame_clock.h"

#include <cmath>

#include "tools/cli_error.h"
#include "tools/command_line.h"

namespace zanhost::cli {

Easing ParseEasing(const std::string &name) {
  if (name == "linear") {
    return Easing::kLinear;
  }
  if (name == "in") {
    return Easing::kIn;
  }
  if (name == "out") {
    return Easing::kOut;
  }
  if (name == "in-out") {
    return Easing::kInOut;
  }
  throw UsageError("--easing takes linear, in, out or in-out, not '" + name + "'");
}

double Ease(Easing easing, double progress) {
  switch (easing) {
    case Easing::kIn:
      return progress * progress;
    case Easing::kOut:
      return 1 - (1 - progress) * (1 - progress);
    case Easing::kInOut:
      return progress < 0.5 ? 2 * progress * progress : 1 - 2 * (1 - progress) * (1 - progress);
    case Easing::kLinear:
      break;
  }
  return progress;
}

FrameTime WarpedTime(uint64_t time, uint64_t duration, Easing easing) {
  if (time >= duration || easing == Easing::kLinear) {
    return FrameTime{time, time};
  }
  const double progress = static_cast<double>(time) / static_cast<double>(duration);
  const double eased = std::round(static_cast<double>(duration) * Ease(easing, progress));
  // Rounding keeps the tick within 0..duration: ease maps [0, 1] into [0, 1].
  return FrameTime{time, static_cast<uint64_t>(eased)};
}

std::vector<FrameTime> EvenFrameTimes(uint64_t duration, int frames, Easing easing) {
  std::vector<FrameTime> times;
  const auto last = static_cast<uint64_t>(frames - 1);
  for (uint64_t frame = 0; frame <= last; ++frame) {
    // duration / last * frame + the remainder's share, without overflowing.
    const uint64_t time = duration / last * frame + duration % last * frame / last;
    times.push_back(WarpedTime(time, duration, easing));
  }
  return times;
}

std::vector<uint64_t> ParseTimeList(const std::string &text) {
  std::vector<uint64_t> times;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    times.push_back(static_cast<uint64_t>(
        ParseInteger(text.substr(start, comma - start), "--at", 0, 2147483647)));
    start = comma + 1;
  }
  return times;
}

}  // namespace zanhost::cli
