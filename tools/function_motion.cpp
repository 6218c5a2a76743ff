#include "tools/function_motion.h"

#include <cmath>
#include <cstdio>

#include "tools/cli_error.h"
#include "tools/progress_line.h"
#include "tools/run_record.h"
#include "tools/transition_output.h"

namespace zanhost::cli {

std::vector<long> GrowingRadii(const std::vector<double> &finals, int frame, int frames) {
  std::vector<long> radii;
  for (double radius : finals) {
    radii.push_back(static_cast<long>(std::floor(radius * frame / (frames - 1))));
  }
  return radii;
}

std::string RadiiLabel(const std::vector<long> &radii) {
  return "x=" + std::to_string(radii.front()) + " y=" + std::to_string(radii.back());
}

double PhaseAt(double start, int frame, int frames) {
  return start + static_cast<double>(frame) / frames;
}

std::string PhaseLabel(double phase) {
  char text[32];
  std::snprintf(text, sizeof text, "phase=%.3f", phase);
  return text;
}

GalleryPlayer RenderMotion(const std::string &pageDirectory, const std::string &subDirectory,
                           const MotionPlan &plan, const std::string &animationPath,
                           const std::vector<InputPicture> &inputs,
                           std::vector<std::string> &written) {
  TransitionOutput output(
      pageDirectory, subDirectory,
      GalleryPlayer{plan.function, plan.call, "", {}, "function", {}, "", " in motion"},
      plan.frames, false, animationPath);
  output.AddInputs(inputs);
  ProgressLine progress(plan.function, plan.frames);
  for (int i = 0; i < plan.frames; ++i) {
    output.AddFrame(plan.label(i), static_cast<uint64_t>(i) * kMotionFrameMilliseconds,
                    plan.draw(i));
    progress.Advance();
  }
  GalleryPlayer player = output.Finish();
  progress.End();
  written.insert(written.end(), output.Written().begin(), output.Written().end());
  return player;
}

std::vector<OptionSpec> MotionOptions() {
  return {OptionSpec{"frames"}, OptionSpec{"out"}, OptionSpec{"animation"}};
}

MotionRequest ParseMotion(const ParsedArguments &parsed) {
  MotionRequest request;
  if (const std::optional<std::string> frames = parsed.Value("frames")) {
    request.frames = ParseInteger(*frames, "--frames", 2, kMostMotionFrames);
    request.outDirectory = parsed.Value("out").value_or("");
    if (request.outDirectory.empty()) {
      throw UsageError("--frames needs --out DIR for the frames and their page");
    }
    request.animation = parsed.Value("animation").value_or("");
  } else if (parsed.Has("out") || parsed.Has("animation")) {
    throw UsageError(std::string(parsed.Has("out") ? "--out" : "--animation") +
                     " needs --frames N");
  } else if (!parsed.Has("output")) {
    throw UsageError("missing -o OUT.png (or --frames N --out DIR)");
  }
  return request;
}

void WriteMotion(const MotionRequest &request, const MotionPlan &plan,
                 const std::vector<InputPicture> &inputs, std::vector<std::string> written) {
  RunRecord::Get().ManageFolder(request.outDirectory);
  GalleryPlayer player =
      RenderMotion(request.outDirectory, "", plan, request.animation, inputs, written);
  WritePlayerPage(request.outDirectory, "zanhost: " + plan.function + " in motion",
                  std::move(player), written);
}

}  // namespace zanhost::cli
