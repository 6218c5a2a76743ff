#include "tools/transition_run.h"

#include "host/utf16_text.h"
#include "tools/cli_error.h"
#include "tools/console.h"
#include "tools/script_values.h"

namespace zanhost::cli {

uint64_t ClockSpan(const OptionList &options) {
  for (const auto &[name, value] : options) {
    if (name == u"time" && (value.Type() == kVariantInteger || value.Type() == kVariantReal)) {
      const tOVInteger time = value.AsInteger();
      return time > 0 ? static_cast<uint64_t>(time) : 0;
    }
  }
  return 0;
}

TransitionRun::TransitionRun(Environment &host, const TransitionSetup &setup)
    : name_(setup.name),
      options_(Ref<OptionSource>::Adopt(OptionSource::Create(setup.options))),
      from_(Ref<BufferLineSource>::Adopt(BufferLineSource::Create(setup.from))),
      to_(Ref<BufferLineSource>::Adopt(BufferLineSource::Create(setup.to))),
      frame_(Ref<BufferLineSource>::Adopt(
          BufferLineSource::Create(PixelBuffer(setup.from.Width(), setup.from.Height(), 32)))),
      driver_(host.Registry(), setup.bandHeight) {
  for (const auto &[ruleName, picture] : setup.rulePictures) {
    images_.AddPicture(ruleName, picture);
  }
  const std::u16string name = Utf8ToUtf16(setup.name);
  if (host.Registry().Find(name) == nullptr) {
    throw RunError("the module offers no transition named '" + setup.name +
                   "' (it has add, brightness and test)");
  }
  host.Vel().SetInnerSize(setup.from.Width(), setup.from.Height());
  // A transition that refuses its options often says only that one is
  // missing: name first those it did not take.
  const auto warnAboutOptions = [this] {
    for (const std::string &caution : OptionCautions()) {
      Warn(caution);
    }
  };
  orn_int status = 0;
  try {
    status = driver_.Start(name, options_.get(), &images_, setup.layerType, from_.get(), to_.get(),
                           frame_.get());
  } catch (...) {
    warnAboutOptions();
    throw;
  }
  if (status < 0) {
    warnAboutOptions();
    throw RunError("transition '" + setup.name + "' did not start (status " +
                   std::to_string(status) + "); see its options in 'zanhost transition --help'");
  }
}

std::vector<std::string> TransitionRun::OptionCautions() const {
  const std::string by = "\"" + name_ + "\"";
  std::vector<std::string> cautions;
  for (size_t i = 0; i < options_->Options().size(); ++i) {
    const auto &[key, value] = options_->Options()[i];
    const OptionUse &use = options_->Uses()[i];
    const std::string option = "option \"" + ToUtf8(key) + "\"";
    const std::string given = value.Type() == kVariantString
                                  ? "the text \"" + ToUtf8(value.AsText()) + "\""
                                  : ToUtf8(value.AsText());
    if (use.reads == 0) {
      cautions.push_back(option + " was not read by " + by);
    } else if (use.refused) {
      cautions.push_back(option + " is " + given + ", but " + by + " reads " + use.wanted +
                         " there: the value was not used");
    } else if (use.truncated) {
      cautions.push_back(option + " is " + given + ", but " + by + " reads a whole number there: " +
                         std::to_string(value.AsInteger()) + " was used");
    }
  }
  return cautions;
}

void TransitionRun::RenderFrame(uint64_t tick) {
  if (driver_.Finished()) {
    return;
  }
  const FrameReport report = driver_.RunFrame(tick);
  if (report.status < 0) {
    throw RunError("transition '" + name_ + "' failed at tick " + std::to_string(tick) +
                   " (status " + std::to_string(report.status) + ")");
  }
}

bool RenderContinuous(Environment &host, const TransitionSetup &setup,
                      const std::vector<FrameTime> &times, const FrameSink &sink) {
  TransitionRun run(host, setup);
  Caution(run.OptionCautions());
  for (const FrameTime &time : times) {
    run.RenderFrame(time.tick);
    sink(time, run.Frame());
    if (run.Finished()) {
      break;
    }
  }
  return run.Finished();
}

void RenderMoments(Environment &host, const TransitionSetup &setup,
                   const std::vector<FrameTime> &times, const FrameSink &sink) {
  for (const FrameTime &time : times) {
    TransitionRun run(host, setup);
    if (&time == &times.front()) {
      Caution(run.OptionCautions());
    }
    if (time.tick > 0) {
      run.RenderFrame(0);
    }
    run.RenderFrame(time.tick);
    sink(time, run.Frame());
  }
}

}  // namespace zanhost::cli
