// zanhost demo: every transition and function of the module on the built-in
// sample pictures, with an index.html that shows the results.
#include <algorithm>
#include <functional>

#include "tools/cli_error.h"
#include "tools/command_support.h"
#include "tools/commands.h"
#include "tools/console.h"
#include "tools/layer_calls.h"
#include "tools/module_session.h"
#include "tools/picture_files.h"
#include "tools/progress_line.h"
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

struct DemoTransition {
  const char *name;
  OptionList options;
};

std::vector<DemoTransition> DemoTransitions() {
  return {
      {"add",
       {{u"time", Variant::Integer(kDuration)},
        {u"vague", Variant::Integer(64)},
        {u"add", Variant::String(u"in")},
        {u"rule", Variant::String(kRuleName)}}},
      {"brightness",
       {{u"time", Variant::Integer(kDuration)},
        {u"vague", Variant::Integer(96)},
        {u"blur", Variant::Integer(2)},
        {u"rule", Variant::String(u"fore_dark")}}},
      {"test", {{u"time", Variant::Integer(kDuration)}}},
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

GalleryPlayer RenderDemoTransition(Environment &host, const SamplePictures &samples,
                                   const DemoTransition &transition, int frames, DemoFiles &files) {
  TransitionSetup setup;
  setup.name = transition.name;
  setup.from = samples.from;
  setup.to = samples.to;
  setup.options = transition.options;
  setup.rulePictures.emplace_back(kRuleName, samples.rule);
  TransitionOutput output(
      files.Directory(), transition.name,
      GalleryPlayer{
          transition.name, DescribeOptions(transition.options), "", {}, "transition", {}, ""},
      frames, true);
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
          const Ref<LayerObject> layer = MakeLayer(samples.from);
          CallGlobalFunction(
              host, name,
              {Variant::Object(layer.get()), Variant::Integer(radius), Variant::Integer(radius)});
          return PictureOf(*layer);
        }};
  };
  DemoFunction distortion{
      "distortion",
      "distortion(source, destination, 0.25, " + std::to_string(periodTop) + ", " +
          std::to_string(periodBottom) + ")",
      &samples.from, [&samples, periodTop, periodBottom](Environment &host) {
        const Ref<LayerObject> source = MakeLayer(samples.from);
        const Ref<LayerObject> destination = MakeLayer(samples.to);
        CallGlobalFunction(
            host, "distortion",
            {Variant::Object(source.get()), Variant::Object(destination.get()), Variant::Real(0.25),
             Variant::Integer(periodTop), Variant::Integer(periodBottom)});
        return PictureOf(*destination);
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
  for (const DemoTransition &transition : DemoTransitions()) {
    gallery.players.push_back(
        RenderDemoTransition(session.Host(), samples, transition, frames, files));
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
