// A global function in motion: N frames, each drawn by one call of the
// function with arguments that change from frame to frame (a distortion's
// phase, a blur's radii), written as an animation (transition_output.h) whose
// frames are kMotionFrameMilliseconds apart.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/pixel_buffer.h"
#include "tools/command_line.h"
#include "tools/html_gallery.h"
#include "tools/transition_output.h"

namespace zanhost::cli {

constexpr uint64_t kMotionFrameMilliseconds = 50;
constexpr int kMostMotionFrames = 1000;

struct MotionPlan {
  std::string function;
  std::string call;  // shown on the page, e.g. "blur(layer, 0..3, 0..3)"
  int frames;
  std::function<PixelBuffer(int)> draw;   // frame i
  std::function<std::string(int)> label;  // frame i's label, e.g. "x=2 y=2"
};

// Frame `frame` of `frames` of a blur in motion: each radius grown from 0
// to its final value, cut to a whole number, as the function reads it.
std::vector<long> GrowingRadii(const std::vector<double> &finals, int frame, int frames);
// "x=2 y=1"; one radius serves both.
std::string RadiiLabel(const std::vector<long> &radii);

// Frame `frame` of `frames` of a distortion in motion: one turn of the wave
// from `start`, never quite reaching start + 1 (which draws frame 0 again).
double PhaseAt(double start, int frame, int frames);
// "phase=0.375".
std::string PhaseLabel(double phase);

// Renders into pageDirectory/subDirectory; `animationPath` empty: no WebP.
// `inputs` are shown beside the player (TransitionOutput::AddInputs).
// Appends the files written to `written`; the page's entry.
GalleryPlayer RenderMotion(const std::string &pageDirectory, const std::string &subDirectory,
                           const MotionPlan &plan, const std::string &animationPath,
                           const std::vector<InputPicture> &inputs,
                           std::vector<std::string> &written);

// What --frames N, --out DIR and --animation FILE.webp ask for.
struct MotionRequest {
  int frames = 0;  // 0: no frames, only the -o picture
  std::string outDirectory;
  std::string animation;
};

// The options an animated function takes besides -o.
std::vector<OptionSpec> MotionOptions();

// UsageErrors: --out or --animation without --frames, --frames without
// --out, neither -o nor --frames.
MotionRequest ParseMotion(const ParsedArguments &parsed);

// Renders the plan into the request's folder with a page showing the input
// pictures beside the player, and prints every file written (`written`, the
// -o picture if any, first).
void WriteMotion(const MotionRequest &request, const MotionPlan &plan,
                 const std::vector<InputPicture> &inputs, std::vector<std::string> written);

}  // namespace zanhost::cli
