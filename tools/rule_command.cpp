// zanhost rule KIND --size WxH -o OUT.png [options]: draws a rule graphic
// (rule_graphics.h) and writes it as an 8-bit grey PNG.
#include <algorithm>
#include <stdexcept>

#include "host/picture_limits.h"
#include "host/png_writer.h"
#include "tools/cli_error.h"
#include "tools/command_support.h"
#include "tools/commands.h"
#include "tools/output_file.h"
#include "tools/rule_graphics.h"

namespace zanhost::cli {
namespace {

constexpr int kMostCount = 4096;
constexpr int kMostSmooth = 1024;

// The option, and the kinds it shapes.
struct ShapingOption {
  const char *name;
  std::vector<RuleKind> kinds;
};

const std::vector<ShapingOption> kShapingOptions = {
    {"angle", {RuleKind::kLinear, RuleKind::kClock, RuleKind::kBlinds}},
    {"count", {RuleKind::kBlinds, RuleKind::kChecker}},
    {"turns", {RuleKind::kSpiral}},
    {"seed", {RuleKind::kNoise}},
    {"smooth", {RuleKind::kNoise}},
};

std::string KindList() {
  std::string list;
  for (int i = 0; i < kRuleKindCount; ++i) {
    list += (i == 0 ? "" : ", ") + std::string(RuleKindNames()[i]);
  }
  return list;
}

RuleSettings SettingsOf(const ParsedArguments &parsed, RuleKind kind, const std::string &name) {
  for (const ShapingOption &option : kShapingOptions) {
    if (parsed.Has(option.name) &&
        std::find(option.kinds.begin(), option.kinds.end(), kind) == option.kinds.end()) {
      throw UsageError("--" + std::string(option.name) + " does not shape rule '" + name + "'");
    }
  }
  RuleSettings settings;
  if (const std::optional<std::string> angle = parsed.Value("angle")) {
    settings.angle = ParseReal(*angle, "--angle", -360, 360);
  }
  if (const std::optional<std::string> count = parsed.Value("count")) {
    settings.count = ParseInteger(*count, "--count", 1, kMostCount);
  }
  if (const std::optional<std::string> turns = parsed.Value("turns")) {
    settings.turns = ParseReal(*turns, "--turns", 0, 1000);
  }
  if (const std::optional<std::string> seed = parsed.Value("seed")) {
    settings.seed = static_cast<uint32_t>(ParseInteger(*seed, "--seed", 0, 2147483647));
  }
  if (const std::optional<std::string> smooth = parsed.Value("smooth")) {
    settings.smooth = ParseInteger(*smooth, "--smooth", 0, kMostSmooth);
  }
  settings.invert = parsed.Has("invert");
  return settings;
}

}  // namespace

int RunRuleCommand(const std::vector<std::string> &words) {
  ParsedArguments parsed;
  std::vector<OptionSpec> own = {OptionSpec{"size"}, OptionSpec{"output", 'o'},
                                 OptionSpec{"invert", '\0', false}};
  for (const ShapingOption &option : kShapingOptions) {
    own.push_back(OptionSpec{option.name});
  }
  if (!ParseCommand("rule", words, own, parsed)) {
    return 0;
  }
  if (parsed.Positionals().size() != 1) {
    throw UsageError("rule takes one KIND (" + KindList() + ")");
  }
  const std::string &name = parsed.Positionals()[0];
  RuleKind kind;
  if (!FindRuleKind(name, kind)) {
    throw UsageError("unknown rule '" + name + "' (kinds: " + KindList() + ")");
  }
  const PictureSize size = ParseSize(RequiredValue(parsed, "size", "--size WxH"), "--size", 1,
                                     static_cast<int>(kMostPictureSide));
  if (static_cast<long long>(size.width) * size.height > kMostPicturePixels) {
    throw UsageError("--size may hold at most " + std::to_string(kMostPicturePixels) + " pixels");
  }
  const std::string output = RequiredValue(parsed, "output", "-o OUT.png");
  const RuleSettings settings = SettingsOf(parsed, kind, name);
  PixelBuffer levels(0, 0, 8);
  try {
    levels = MakeRule(kind, size.width, size.height, settings);
  } catch (const std::invalid_argument &flat) {
    throw UsageError(std::string(flat.what()) + "; make it larger");
  }
  WriteOutputFile(output, EncodePng(levels));
  PrintWritten({output});
  return 0;
}

}  // namespace zanhost::cli
