// zanhost distortion SRC.png DST.png PHASE TOP BOTTOM [OPACITY] -o OUT.png:
// calls distortion on two Layers holding the pictures, with the screen as
// wide as the pictures and --screen-height (default: their height) high, and
// writes the destination Layer's pixels afterwards.
#include "tools/cli_error.h"
#include "tools/command_support.h"
#include "tools/commands.h"
#include "tools/layer_calls.h"
#include "tools/module_session.h"
#include "tools/picture_files.h"
#include "tools/script_values.h"

namespace zanhost::cli {

int RunDistortionCommand(const std::vector<std::string> &words) {
  ParsedArguments parsed;
  if (!ParseCommand("distortion", words, {OptionSpec{"output", 'o'}, OptionSpec{"screen-height"}},
                    parsed)) {
    return 0;
  }
  const std::vector<std::string> &positionals = parsed.Positionals();
  if (positionals.size() < 5 || positionals.size() > 6) {
    throw UsageError("distortion takes SRC.png DST.png PHASE TOP BOTTOM [OPACITY]");
  }
  const std::string output = RequiredValue(parsed, "output", "-o OUT.png");
  const PixelBuffer source = LoadPicture(positionals[0]);
  const PixelBuffer destination = LoadPicture(positionals[1]);
  RequireSameSize(source, positionals[0], destination, positionals[1]);
  const std::optional<std::string> screenHeight = parsed.Value("screen-height");
  const int height = screenHeight ? ParseInteger(*screenHeight, "--screen-height", 1, 1 << 20)
                                  : destination.Height();

  ModuleSession session(ModulePathOf(parsed));
  session.Host().Vel().SetInnerSize(destination.Width(), height);
  const Ref<LayerObject> sourceLayer = MakeLayer(source);
  const Ref<LayerObject> destinationLayer = MakeLayer(destination);
  std::vector<Variant> arguments{Variant::Object(sourceLayer.get()),
                                 Variant::Object(destinationLayer.get())};
  for (size_t i = 2; i < positionals.size(); ++i) {
    arguments.push_back(ScriptValueFromText(positionals[i]));
  }
  CallGlobalFunction(session.Host(), "distortion", std::move(arguments));
  SavePicture(output, PictureOf(*destinationLayer));
  PrintWritten({output});
  return 0;
}

}  // namespace zanhost::cli
