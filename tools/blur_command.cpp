// zanhost blur|blur_alpha IN.png X [Y] -o OUT.png: calls the function on a
// Layer holding the picture and writes the Layer's pixels afterwards.
#include "tools/cli_error.h"
#include "tools/command_support.h"
#include "tools/commands.h"
#include "tools/layer_calls.h"
#include "tools/module_session.h"
#include "tools/picture_files.h"
#include "tools/script_values.h"

namespace zanhost::cli {

int RunBlurCommand(const std::string &function, const std::vector<std::string> &words) {
  ParsedArguments parsed;
  if (!ParseCommand(function, words, {OptionSpec{"output", 'o'}}, parsed)) {
    return 0;
  }
  const std::vector<std::string> &positionals = parsed.Positionals();
  if (positionals.size() < 2 || positionals.size() > 3) {
    throw UsageError(function + " takes IN.png X [Y]");
  }
  const std::string output = RequiredValue(parsed, "output", "-o OUT.png");
  const PixelBuffer picture = LoadPicture(positionals[0]);

  ModuleSession session(ModulePathOf(parsed));
  const Ref<LayerObject> layer = MakeLayer(picture);
  std::vector<Variant> arguments{Variant::Object(layer.get())};
  for (size_t i = 1; i < positionals.size(); ++i) {
    arguments.push_back(ScriptValueFromText(positionals[i]));
  }
  CallGlobalFunction(session.Host(), function, std::move(arguments));
  SavePicture(output, PictureOf(*layer));
  PrintWritten({output});
  return 0;
}

}  // namespace zanhost::cli
