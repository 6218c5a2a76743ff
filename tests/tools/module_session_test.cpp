// The program's use of the module gives back every reference it takes: after
// function calls, raised errors and whole transitions the module still
// unlinks.
#include "tools/module_session.h"

#include <gtest/gtest.h>

#include "host/script_error.h"
#include "tools/layer_calls.h"
#include "tools/sample_pictures.h"
#include "tools/transition_run.h"

namespace zanhost::cli {
namespace {

TEST(ModuleSessionTest, UnlinksAfterCallsErrorsAndTransitions) {
  ModuleSession session(MODULE_PATH);
  const SamplePictures samples = MakeSamplePictures(16, 12);
  const Ref<LayerObject> layer = MakeLayer(samples.from);
  CallGlobalFunction(session.Host(), "blur_alpha",
                     {Variant::Object(layer.get()), Variant::Integer(1)});
  EXPECT_THROW(CallGlobalFunction(session.Host(), "blur",
                                  {Variant::Object(layer.get()), Variant::Integer(99)}),
               ScriptError);
  TransitionSetup setup;
  setup.name = "add";
  setup.from = samples.from;
  setup.to = samples.to;
  setup.options = {{u"time", Variant::Integer(10)},
                   {u"add", Variant::String(u"out")},
                   {u"rule", Variant::String(u"r")}};
  setup.rulePictures.emplace_back(u"r", samples.rule);
  int frames = 0;
  EXPECT_TRUE(RenderContinuous(session.Host(), setup, EvenFrameTimes(10, 3, Easing::kLinear),
                               [&](const FrameTime &, const PixelBuffer &) { ++frames; }));
  EXPECT_EQ(frames, 3);
  EXPECT_EQ(session.Close(), 0);
  EXPECT_EQ(session.Host().Registry().Count(), 0u);
}

}  // namespace
}  // namespace zanhost::cli
