// zanhost distortion SRC DST PHASE TOP BOTTOM [OPACITY] -o OUT.png: calls
// distortion on two Layers holding the pictures, with the screen as wide as
// the pictures and --screen-height (default: their height) high, and writes
// the destination Layer's pixels afterwards. With --frames N --out DIR the
// phase runs from PHASE towards PHASE + 1 over N frames (one turn of the wave,
// so the loop is seamless), the first of them the -o picture.
#include "tools/cli_error.h"
#include "tools/command_support.h"
#include "tools/commands.h"
#include "tools/function_motion.h"
#include "tools/layer_calls.h"
#include "tools/module_session.h"
#include "tools/picture_files.h"
#include "tools/script_values.h"

namespace zanhost::cli {
int RunDistortionCommand(const std::vector<std::string> &words) {
  ParsedArguments parsed;
  std::vector<OptionSpec> own = MotionOptions();
  own.push_back(OptionSpec{"output", 'o'});
  own.push_back(OptionSpec{"screen-height"});
  if (!ParseCommand("distortion", words, own, parsed)) {
    return 0;
  }
  const std::vector<std::string> &positionals = parsed.Positionals();
  if (positionals.size() < 5 || positionals.size() > 6) {
    throw UsageError("distortion takes SRC.png DST.png PHASE TOP BOTTOM [OPACITY]");
  }
  const MotionRequest motion = ParseMotion(parsed);
  const std::optional<std::string> output = parsed.Value("output");
  const double phase = motion.frames > 0 ? ParseReal(positionals[2], "PHASE", -1e9, 1e9) : 0;
  const std::vector<PixelBuffer> pictures = LoadPictures({positionals[0], positionals[1]});
  const PixelBuffer &source = pictures[0];
  const PixelBuffer &destination = pictures[1];
  RequireSameSize(source, positionals[0], destination, positionals[1]);
  const std::optional<std::string> screenHeight = parsed.Value("screen-height");
  const int height = screenHeight ? ParseInteger(*screenHeight, "--screen-height", 1, 1 << 20)
                                  : destination.Height();

  ModuleSession session(ModulePathOf(parsed));
  session.Host().Vel().SetInnerSize(destination.Width(), height);
  std::vector<Variant> numbers;
  for (size_t i = 2; i < positionals.size(); ++i) {
    numbers.push_back(ScriptValueFromText(positionals[i]));
  }
  std::vector<std::string> written;
  if (output) {
    SavePicture(*output, DistortedPicture(session.Host(), source, destination, numbers));
    written.push_back(*output);
  }
  if (motion.frames == 0) {
    PrintWritten(written);
    return 0;
  }
  // Frame 0 gets the phase as given, so that it is exactly the -o picture.
  const auto numbersAt = [&](int frame) {
    std::vector<Variant> atFrame = numbers;
    if (frame > 0) {
      atFrame[0] = Variant::Real(PhaseAt(phase, frame, motion.frames));
    }
    return atFrame;
  };
  std::string call = "distortion(source, destination, " + positionals[2] + "..+1";
  for (size_t i = 3; i < positionals.size(); ++i) {
    call += ", " + positionals[i];
  }
  WriteMotion(
      motion,
      MotionPlan{"distortion", call + ")", motion.frames,
                 [&](int frame) {
                   return DistortedPicture(session.Host(), source, destination, numbersAt(frame));
                 },
                 [&](int frame) { return PhaseLabel(PhaseAt(phase, frame, motion.frames)); }},
      {{"source", &source, positionals[0]}, {"destination", &destination, positionals[1]}},
      written);
  return 0;
}

}  // namespace zanhost::cli
