// zanhost demo: every transition and function of the module on the built-in
// sample pictures, with an index.html that shows the results.
#include <algorithm>
#include <functional>

#include "tools/animation_writer.h"
#include "tools/cli_error.h"
#include "tools/command_support.h"
#include "tools/commands.h"
#include "tools/console.h"
#include "tools/function_motion.h"
#include "tools/layer_calls.h"
#include "tools/module_session.h"
#include "tools/picture_files.h"
#include "tools/progress_line.h"
#include "tools/rule_graphics.h"
#include "tools/run_record.h"
#include "tools/sample_pictures.h"
#include "tools/script_values.h"
#include "tools/transition_output.h"
#include "tools/transition_run.h"

namespace zanhost::cli {
namespace {

constexpr int kDefaultWidth = 192;
constexpr int kDefaultHeight = 128;
constexpr int kLargestSample = 4096;
constexpr int kDefaultFrames = 24;
constexpr int kMostFrames = 1000;
constexpr tOVInteger kDuration = 1000;
constexpr const char16_t kRuleName[] = u"demo-rule";

constexpr RuleKind kShownRule = RuleKind::kClock;
constexpr const char16_t kShownRuleName[] = u"rules/clock";

struct DemoTransition {
  const char *name;
  const char *folder;
  OptionList options;
};

std::vector<DemoTransition> DemoTransitions() {
  return {
      {"add",
       "add",
       {{u"time", Variant::Integer(kDuration)},
        {u"vague", Variant::Integer(64)},
        {u"add", Variant::String(u"in")},
        {u"rule", Variant::String(kRuleName)}}},
      {"add",
       "add-clock",
       {{u"time", Variant::Integer(kDuration)},
        {u"vague", Variant::Integer(32)},
        {u"add", Variant::String(u"out")},
        {u"rule", Variant::String(kShownRuleName)}}},
      {"brightness",
       "brightness",
       {{u"time", Variant::Integer(kDuration)},
        {u"vague", Variant::Integer(96)},
        {u"blur", Variant::Integer(2)},
        {u"rule", Variant::String(u"fore_dark")}}},
      {"test", "test", {{u"time", Variant::Integer(kDuration)}}},
  };
}

// Collects the files the demo writes, with paths relative to its page.
class DemoFiles {
 public:
  explicit DemoFiles(std::string directory) : directory_(std::move(directory)) {}

  const std::string &Directory() const { return directory_; }
  std::string SavePicture(const std::string &relative, const PixelBuffer &picture) {
    MakeDirectory(directory_ + "/" + relative.substr(0, relative.rfind('/')));
    cli::SavePicture(directory_ + "/" + relative, picture);
    written_.push_back(directory_ + "/" + relative);
    return relative;
  }
  void Note(const std::vector<std::string> &paths) {
    written_.insert(written_.end(), paths.begin(), paths.end());
  }
  const std::vector<std::string> &Written() const { return written_; }

 private:
  std::string directory_;
  std::vector<std::string> written_;
};

// Where a player's animation goes, beside its contact sheet; none where this
// build writes no WebP.
std::string DemoAnimationPath(const DemoFiles &files, const std::string &folder) {
  return AnimationWriter::Available() ? files.Directory() + "/" + folder + "/animation.webp" : "";
}

GalleryPlayer RenderDemoTransition(Environment &host, const SamplePictures &samples,
                                   const PixelBuffer &shownRule, const DemoTransition &transition,
                                   int frames, DemoFiles &files) {
  TransitionSetup setup;
  setup.name = transition.name;
  setup.from = samples.from;
  setup.to = samples.to;
  setup.options = transition.options;
  setup.rulePictures.emplace_back(kRuleName, samples.rule);
  setup.rulePictures.emplace_back(kShownRuleName, shownRule);
  TransitionOutput output(
      files.Directory(), transition.folder,
      GalleryPlayer{
          transition.name, DescribeOptions(transition.options), "", {}, "transition", {}, "", ""},
      frames, true, DemoAnimationPath(files, transition.folder));
  ProgressLine progress(transition.name, frames);
  RenderContinuous(host, setup, EvenFrameTimes(kDuration, frames, Easing::kLinear),
                   [&](const FrameTime &time, const PixelBuffer &frame) {
                     output.AddFrame(time, frame);
                     progress.Advance();
                   });
  GalleryPlayer entry = output.Finish();
  progress.End();
  files.Note(output.Written());
  return entry;
}

// Every kind of rule graphic at the samples' size, as rules/KIND.png; the
// thumbnails, and the one "add-clock" uses as a 32-bit picture.
std::vector<GalleryPicture> DrawDemoRules(int width, int height, DemoFiles &files,
                                          PixelBuffer &shownRule) {
  std::vector<GalleryPicture> thumbnails;
  for (int i = 0; i < kRuleKindCount; ++i) {
    const auto kind = static_cast<RuleKind>(i);
    const std::string name = RuleKindNames()[i];
    const PixelBuffer levels = MakeRule(kind, width, height, RuleSettings{});
    const std::string path = files.SavePicture("rules/" + name + ".png", levels);
    thumbnails.push_back(
        GalleryPicture{"zanhost rule " + name + (kind == kShownRule ? " (used here)" : ""), path});
    if (kind == kShownRule) {
      shownRule = GreyToArgb(levels);
    }
  }
  return thumbnails;
}

// blur and distortion in motion on the samples, into FUNCTION-motion/.
std::vector<GalleryPlayer> RenderDemoMotions(Environment &host, const SamplePictures &samples,
                                             int frames, DemoFiles &files) {
  // Wider than the still blur's, so that the radius grows visibly.
  const int radius = std::min({12, samples.from.Width() / 2, samples.from.Height() / 2});
  const int periodTop = std::max(8, samples.from.Height() / 4);
  const int periodBottom = std::max(16, samples.from.Height());
  const std::vector<double> finals = {static_cast<double>(radius)};
  const MotionPlan plans[] = {
      {"blur", "blur(layer, 0.." + std::to_string(radius) + ")", frames,
       [&](int frame) {
         const std::vector<long> radii = GrowingRadii(finals, frame, frames);
         return BlurredPicture(host, "blur", samples.from,
                               {Variant::Integer(static_cast<tOVInteger>(radii.front()))});
       },
       [&](int frame) { return RadiiLabel(GrowingRadii(finals, frame, frames)); }},
      {"distortion",
       "distortion(source, destination, 0.25..+1, " + std::to_string(periodTop) + ", " +
           std::to_string(periodBottom) + ")",
       frames,
       [&](int frame) {
         return DistortedPicture(host, samples.from, samples.to,
                                 {Variant::Real(PhaseAt(0.25, frame, frames)),
                                  Variant::Integer(periodTop), Variant::Integer(periodBottom)});
       },
       [&](int frame) { return PhaseLabel(PhaseAt(0.25, frame, frames)); }},
  };
  std::vector<GalleryPlayer> players;
  for (const MotionPlan &plan : plans) {
    const std::string folder = plan.function + "-motion";
    std::vector<std::string> written;
    players.push_back(RenderMotion(files.Directory(), folder, plan,
                                   DemoAnimationPath(files, folder), {}, written));
    files.Note(written);
  }
  return players;
}

// One function call on Layers made from the samples: the picture shown as
// "before", and the run that yields the "after".
struct DemoFunction {
  std::string name;
  std::string call;
  const PixelBuffer *before;
  std::function<PixelBuffer(Environment &)> run;
};

std::vector<DemoFunction> DemoFunctions(const SamplePictures &samples) {
  const int radius = std::min({3, samples.from.Width() / 2, samples.from.Height() / 2});
  // The striped picture shows the wave best; periods short enough for several
  // waves down the picture.
  const int periodTop = std::max(8, samples.from.Height() / 4);
  const int periodBottom = std::max(16, samples.from.Height());
  auto boxFilter = [&samples, radius](const std::string &name) {
    return DemoFunction{
        name, name + "(layer, " + std::to_string(radius) + ", " + std::to_string(radius) + ")",
        &samples.from, [&samples, name, radius](Environment &host) {
          return BlurredPicture(host, name, samples.from,
                                {Variant::Integer(radius), Variant::Integer(radius)});
        }};
  };
  DemoFunction distortion{
      "distortion",
      "distortion(source, destination, 0.25, " + std::to_string(periodTop) + ", " +
          std::to_string(periodBottom) + ")",
      &samples.from, [&samples, periodTop, periodBottom](Environment &host) {
        return DistortedPicture(
            host, samples.from, samples.to,
            {Variant::Real(0.25), Variant::Integer(periodTop), Variant::Integer(periodBottom)});
      }};
  return {boxFilter("blur"), boxFilter("blur_alpha"), distortion};
}

GalleryFunction RunDemoFunction(Environment &host, const DemoFunction &function, DemoFiles &files) {
  const PixelBuffer after = function.run(host);
  return GalleryFunction{function.name, function.call,
                         files.SavePicture(function.name + "/before.png", *function.before),
                         files.SavePicture(function.name + "/after.png", after)};
}

}  // namespace

int RunDemoCommand(const std::vector<std::string> &words) {
  ParsedArguments parsed;
  if (!ParseCommand("demo", words, {OptionSpec{"out"}, OptionSpec{"size"}, OptionSpec{"frames"}},
                    parsed)) {
    return 0;
  }
  if (!parsed.Positionals().empty()) {
    throw UsageError("demo takes no input; unexpected '" + parsed.Positionals()[0] + "'");
  }
  const PictureSize size =
      ParseSize(parsed.Value("size").value_or(std::to_string(kDefaultWidth) + "x" +
                                              std::to_string(kDefaultHeight)),
                "--size", kSmallestSample, kLargestSample);
  const std::optional<std::string> framesText = parsed.Value("frames");
  const int frames =
      framesText ? ParseInteger(*framesText, "--frames", 2, kMostFrames) : kDefaultFrames;
  DemoFiles files(parsed.Value("out").value_or("demo-out"));
  MakeDirectory(files.Directory());
  RunRecord::Get().ManageFolder(files.Directory());
  const SamplePictures samples = MakeSamplePictures(size.width, size.height);

  ModuleSession session(ModulePathOf(parsed));
  session.Host().Vel().SetInnerSize(size.width, size.height);
  Gallery gallery{"zanhost demo", {}, {}, {}};
  gallery.inputs = {{"from", files.SavePicture("pictures/from.png", samples.from)},
                    {"to", files.SavePicture("pictures/to.png", samples.to)},
                    {"rule", files.SavePicture("pictures/rule.png", samples.rule)}};
  PixelBuffer shownRule(0, 0, 32);
  const std::vector<GalleryPicture> rules =
      DrawDemoRules(size.width, size.height, files, shownRule);
  for (const DemoTransition &transition : DemoTransitions()) {
    gallery.players.push_back(
        RenderDemoTransition(session.Host(), samples, shownRule, transition, frames, files));
    if (std::string(transition.folder) == "add-clock") {
      gallery.players.back().inputs = rules;
      gallery.players.back().subtitle = " with a rule graphic of zanhost rule";
    }
  }
  for (GalleryPlayer &motion : RenderDemoMotions(session.Host(), samples, frames, files)) {
    gallery.players.push_back(std::move(motion));
  }
  for (const DemoFunction &function : DemoFunctions(samples)) {
    gallery.functions.push_back(RunDemoFunction(session.Host(), function, files));
  }
  const std::string page = files.Directory() + "/index.html";
  SaveText(page, GalleryHtml(gallery));
  files.Note({page});
  PrintWritten(files.Written());
  Say("open " + page + " in a browser to see them all");
  return 0;
}

}  // namespace zanhost::cli
