// zanhost blur|blur_alpha IN X [Y] -o OUT.png: calls the function on a Layer
// holding the picture and writes the Layer's pixels afterwards. With --frames
// N --out DIR the radii grow from 0 to X and Y over N frames, the last of
// them the -o picture.
#include "tools/cli_error.h"
#include "tools/command_support.h"
#include "tools/commands.h"
#include "tools/function_motion.h"
#include "tools/layer_calls.h"
#include "tools/module_session.h"
#include "tools/picture_files.h"
#include "tools/script_values.h"

namespace zanhost::cli {
int RunBlurCommand(const std::string &function, const std::vector<std::string> &words) {
  ParsedArguments parsed;
  std::vector<OptionSpec> own = MotionOptions();
  own.push_back(OptionSpec{"output", 'o'});
  if (!ParseCommand(function, words, own, parsed)) {
    return 0;
  }
  const std::vector<std::string> &positionals = parsed.Positionals();
  if (positionals.size() < 2 || positionals.size() > 3) {
    throw UsageError(function + " takes IN.png X [Y]");
  }
  const MotionRequest motion = ParseMotion(parsed);
  const std::optional<std::string> output = parsed.Value("output");
  const PixelBuffer picture = LoadPicture(positionals[0]);
  std::vector<Variant> radii;
  std::vector<double> growing;
  for (size_t i = 1; i < positionals.size(); ++i) {
    radii.push_back(ScriptValueFromText(positionals[i]));
    if (motion.frames > 0) {
      growing.push_back(ParseReal(positionals[i], i == 1 ? "X" : "Y", 0, 1 << 30));
    }
  }

  ModuleSession session(ModulePathOf(parsed));
  std::vector<std::string> written;
  if (output) {
    SavePicture(*output, BlurredPicture(session.Host(), function, picture, radii));
    written.push_back(*output);
  }
  if (motion.frames == 0) {
    PrintWritten(written);
    return 0;
  }
  // Frame i's radii, whole numbers as the function reads them; the last frame
  // gets the arguments as given, so that it is exactly the -o picture.
  const auto radiiAt = [&](int frame) {
    if (frame == motion.frames - 1) {
      return radii;
    }
    std::vector<Variant> atFrame;
    for (long radius : GrowingRadii(growing, frame, motion.frames)) {
      atFrame.push_back(Variant::Integer(static_cast<tOVInteger>(radius)));
    }
    return atFrame;
  };
  const auto label = [&](int frame) {
    return RadiiLabel(GrowingRadii(growing, frame, motion.frames));
  };
  const std::string call = function + "(layer, 0.." + positionals[1] +
                           (positionals.size() > 2 ? ", 0.." + positionals[2] : "") + ")";
  WriteMotion(motion,
              MotionPlan{function, call, motion.frames,
                         [&](int frame) {
                           return BlurredPicture(session.Host(), function, picture, radiiAt(frame));
                         },
                         label},
              {{"before", &picture, positionals[0]}}, written);
  return 0;
}

}  // namespace zanhost::cli
