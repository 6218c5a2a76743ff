// zanhost transition NAME --from A.png --to B.png --out DIR ...: renders the
// transition between the user's pictures with the options given, into frames,
// a contact sheet and an index.html in DIR.
#include <filesystem>

#include "host/utf16_text.h"
#include "tools/cli_error.h"
#include "tools/command_support.h"
#include "tools/commands.h"
#include "tools/console.h"
#include "tools/module_session.h"
#include "tools/picture_files.h"
#include "tools/progress_line.h"
#include "tools/run_record.h"
#include "tools/script_values.h"
#include "tools/transition_output.h"
#include "tools/transition_run.h"

namespace zanhost::cli {
namespace {

constexpr int kDefaultFrames = 24;
constexpr int kMostFrames = 10000;
constexpr int kDefaultBandHeight = 32;

const std::vector<OptionSpec> kTransitionOptions = {
    OptionSpec{"from"},
    OptionSpec{"to"},
    OptionSpec{"out"},
    OptionSpec{"rule"},
    OptionSpec{"option", '\0', true, true},
    OptionSpec{"frames"},
    OptionSpec{"at"},
    OptionSpec{"easing"},
    OptionSpec{"band"},
    OptionSpec{"layer-type"},
    OptionSpec{"animation"},
};

// Registers the --rule picture under the name option "rule" gives, adding the
// option (the file's path) when the command line has none.
void AddRulePicture(TransitionSetup &setup, const std::string &path, PixelBuffer picture) {
  std::u16string ruleName = Utf8ToUtf16(path);
  bool named = false;
  for (const auto &[name, value] : setup.options) {
    if (name == u"rule") {
      ruleName = value.AsText();
      named = true;
    }
  }
  if (!named) {
    setup.options.emplace_back(u"rule", Variant::String(ruleName));
  }
  setup.rulePictures.emplace_back(ruleName, std::move(picture));
}

std::vector<FrameTime> PlanFrames(const ParsedArguments &parsed, uint64_t span) {
  const Easing easing = ParseEasing(parsed.Value("easing").value_or("linear"));
  if (const std::optional<std::string> at = parsed.Value("at")) {
    if (parsed.Has("frames")) {
      throw UsageError("give either --frames or --at, not both");
    }
    std::vector<FrameTime> times;
    for (uint64_t time : ParseTimeList(*at)) {
      times.push_back(WarpedTime(time, span, easing));
    }
    return times;
  }
  const std::optional<std::string> frames = parsed.Value("frames");
  return EvenFrameTimes(
      span, frames ? ParseInteger(*frames, "--frames", 2, kMostFrames) : kDefaultFrames, easing);
}

// The rule picture "add" will use: the --rule picture, else the file in the
// working directory that option "rule" names (as the host finds it), if any;
// `path` is set to its file.
const PixelBuffer *RuleToShow(const TransitionSetup &setup, const std::optional<std::string> &rule,
                              PixelBuffer &fromFile, std::string &path) {
  if (!setup.rulePictures.empty()) {
    path = rule.value_or("");
    return &setup.rulePictures.front().second;
  }
  for (const auto &[name, value] : setup.options) {
    if (name != u"rule" || setup.name != "add") {
      continue;
    }
    const std::string named = ToUtf8(value.AsText());
    for (const std::string &candidate : {named, named + ".png"}) {
      if (std::filesystem::is_regular_file(candidate)) {
        fromFile = LoadPicture(candidate);
        path = candidate;
        return &fromFile;
      }
    }
  }
  return nullptr;
}

}  // namespace

int RunTransitionCommand(const std::vector<std::string> &words) {
  ParsedArguments parsed;
  if (!ParseCommand("transition", words, kTransitionOptions, parsed)) {
    return 0;
  }
  if (parsed.Positionals().size() != 1) {
    throw UsageError("transition takes one NAME (add, brightness or test)");
  }
  TransitionSetup setup;
  setup.name = parsed.Positionals()[0];
  const std::string fromPath = RequiredValue(parsed, "from", "--from A.png");
  const std::string toPath = RequiredValue(parsed, "to", "--to B.png");
  const std::string outDirectory = RequiredValue(parsed, "out", "--out DIR");
  for (const std::string &option : parsed.Values("option")) {
    setup.options.push_back(ParseOption(option));
  }
  if (const std::optional<std::string> band = parsed.Value("band")) {
    setup.bandHeight = ParseInteger(*band, "--band", 1, 1 << 20);
  } else {
    setup.bandHeight = kDefaultBandHeight;
  }
  setup.layerType = ParseInteger(parsed.Value("layer-type").value_or("0"), "--layer-type",
                                 -2147483647 - 1, 2147483647);
  const std::vector<FrameTime> times = PlanFrames(parsed, ClockSpan(setup.options));
  for (size_t i = 1; i < times.size() && parsed.Has("animation"); ++i) {
    if (times[i].time <= times[i - 1].time) {
      throw UsageError("--animation needs --at times that increase, each given once");
    }
  }
  const std::optional<std::string> rule = parsed.Value("rule");
  if (rule && setup.name != "add") {
    throw UsageError("--rule serves transition 'add' only; \"" + setup.name +
                     "\" takes its rule from option \"rule\"");
  }
  std::vector<std::string> paths = {fromPath, toPath};
  if (rule) {
    paths.push_back(*rule);
  }
  std::vector<PixelBuffer> pictures = LoadPictures(paths);
  setup.from = std::move(pictures[0]);
  setup.to = std::move(pictures[1]);
  RequireSameSize(setup.from, fromPath, setup.to, toPath);
  if (rule) {
    AddRulePicture(setup, *rule, std::move(pictures[2]));
  }

  std::vector<InputPicture> shown = {{"from", &setup.from, fromPath}, {"to", &setup.to, toPath}};
  PixelBuffer ruleFile(0, 0, 32);
  std::string rulePath;
  if (const PixelBuffer *shownRule = RuleToShow(setup, rule, ruleFile, rulePath)) {
    shown.push_back(InputPicture{"rule", shownRule, rulePath});
  }

  ModuleSession session(ModulePathOf(parsed));
  TransitionOutput output(
      outDirectory, "",
      GalleryPlayer{setup.name, DescribeOptions(setup.options), "", {}, "transition", {}, "", ""},
      static_cast<int>(times.size()), setup.layerType == 0, parsed.Value("animation").value_or(""));
  RunRecord::Get().ManageFolder(outDirectory);
  output.AddInputs(shown);
  ProgressLine progress(setup.name, static_cast<int>(times.size()));
  const FrameSink sink = [&](const FrameTime &time, const PixelBuffer &frame) {
    output.AddFrame(time, frame);
    progress.Advance();
  };
  bool finished = true;
  if (parsed.Has("at")) {
    RenderMoments(session.Host(), setup, times, sink);
  } else {
    finished = RenderContinuous(session.Host(), setup, times, sink);
  }
  GalleryPlayer player = output.Finish();
  progress.End();
  WritePlayerPage(outDirectory, "zanhost: transition " + setup.name, std::move(player),
                  output.Written());
  if (!finished) {
    Say("note: the transition had not finished by the last frame");
  }
  return 0;
}

}  // namespace zanhost::cli
