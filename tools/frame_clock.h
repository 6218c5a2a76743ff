// When each rendered frame happens. A frame has a time on the script's clock
// (what its label shows) and the tick fed to the transition. With an easing
// curve the tick is warped as an engine's eased clock would be: over the
// duration d, tick = round(d * ease(time / d)); times from d on pass unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zanhost::cli {

enum class Easing { kLinear, kIn, kOut, kInOut };

// "linear", "in", "out" or "in-out"; a UsageError otherwise.
Easing ParseEasing(const std::string &name);

// The eased progress for progress p in [0, 1]: p, p², 1 - (1 - p)², and the
// quadratic in-out that joins the two halves at 1/2.
double Ease(Easing easing, double progress);

struct FrameTime {
  uint64_t time;
  uint64_t tick;
};

FrameTime WarpedTime(uint64_t time, uint64_t duration, Easing easing);

// `frames` times from 0 to the duration, evenly spaced (rounded down), the
// first at 0 and the last at the duration. `frames` is at least 2.
std::vector<FrameTime> EvenFrameTimes(uint64_t duration, int frames, Easing easing);

// "--at" values: comma-separated whole numbers of ticks, each at least 0.
std::vector<uint64_t> ParseTimeList(const std::string &text);

}  // namespace zanhost::cli
