// The band transition bases through a test-only rule transition, "probe",
// linked with the module's code and the reference host: the start of a
// transition, the clock, the end answer, the pass-through at both ends, the
// blend table of each step and the reference counts.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "frame/module_state.h"
#include "host/host_ref.h"
#include "host/line_source.h"
#include "host/option_source.h"
#include "host/pixel_routine_log.h"
#include "host/script_error.h"
#include "tests/host/host_fixture.h"
#include "transitions/band_provider.h"
#include "transitions/rule_handler.h"

namespace zanhost {
namespace {

// Notes the phase of every Blend and paints nothing.
class tProbeHandler : public tRuleTransHandler {
 public:
  using tRuleTransHandler::tRuleTransHandler;
  void Blend(tZANBandData *) override { blendPhases.push_back(phase); }
  orn_int Phase() const { return phase; }
  orn_int MaxPhase() const { return maxPhase; }

  std::vector<orn_int> blendPhases;
};

// Reads "time" and "vague" (both required); without "handler" the memory for
// the handler is taken to be missing.
class tProbeProvider : public tBandTransHandlerProvider {
 public:
  orn_int GetName(const orn_char **name) override { return AnswerName(u"probe", name); }
  iZANBandTransHandler *CreateHandler(iZANOptionSource *options, iZANImageSource *,
                                      orn_int layerType, orn_int, orn_int, orn_int,
                                      orn_int) override {
    tOVInteger time = 0, vague = 0, handler = 0;
    options->GetNumber(u"time", &time);
    options->GetNumber(u"vague", &vague);
    if (options->GetNumber(u"handler", &handler) < 0) {
      return nullptr;
    }
    return new tProbeHandler(options, layerType, static_cast<uint64_t>(time),
                             static_cast<orn_int>(vague));
  }
};

class BandCoreTest : public HostTest {
 protected:
  void SetUp() override { functionLookup = &env_.Functions(); }
  void TearDown() override {
    src1_.Reset();
    src2_.Reset();
    dest_.Reset();
    HostTest::TearDown();
  }

  // A probe handler over `time` ticks with that vague.
  Ref<tProbeHandler> Begin(tOVInteger time, tOVInteger vague, orn_int layerType = 0) {
    const Ref<OptionSource> options =
        Ref<OptionSource>::Adopt(OptionSource::Create({{u"time", Variant::Integer(time)},
                                                       {u"vague", Variant::Integer(vague)},
                                                       {u"handler", Variant::Integer(1)}}));
    iZANBandTransHandler *handler = nullptr;
    orn_int flags[2] = {0, 0};
    EXPECT_EQ(provider_.BeginTransition(options.get(), nullptr, layerType, 4, 3, 4, 3, &flags[0],
                                        &flags[1], &handler),
              0);
    EXPECT_EQ(flags[0], 1);
    EXPECT_EQ(flags[1], 1);
    return Ref<tProbeHandler>::Adopt(static_cast<tProbeHandler *>(handler));
  }

  // Lives in the fixture and is never released.
  tProbeProvider provider_;
  PixelRoutineLog log_{env_.Functions()};
  Ref<BufferLineSource> src1_ =
      Ref<BufferLineSource>::Adopt(BufferLineSource::Create(PixelBuffer(4, 3, 32)));
  Ref<BufferLineSource> src2_ =
      Ref<BufferLineSource>::Adopt(BufferLineSource::Create(PixelBuffer(4, 3, 32)));
  Ref<BufferLineSource> dest_ =
      Ref<BufferLineSource>::Adopt(BufferLineSource::Create(PixelBuffer(4, 3, 32)));
};

TEST_F(BandCoreTest, PhaseFollowsTheClock) {
  struct Case {
    uint64_t elapsed;
    orn_int phase;
    orn_int endStep;
  };
  // time 1000, vague 64: maxPhase 319.
  const Case cases[] = {
      {0, 0, 1}, {1, 0, 1}, {4, 1, 1}, {500, 159, 1}, {999, 318, 1}, {1000, 319, 2}, {5000, 319, 2},
  };
  for (uint64_t start : {uint64_t{0}, uint64_t{123456789}, ~uint64_t{0} - 10000}) {
    for (const Case &c : cases) {
      const Ref<tProbeHandler> handler = Begin(1000, 64);
      EXPECT_EQ(handler->MaxPhase(), 319);
      EXPECT_EQ(handler->BeginStep(start), 1);
      EXPECT_EQ(handler->Phase(), 0);
      EXPECT_EQ(handler->BeginStep(start + c.elapsed), 1);
      EXPECT_EQ(handler->Phase(), c.phase) << c.elapsed;
      EXPECT_EQ(handler->EndStep(), c.endStep) << c.elapsed;
    }
  }
}

TEST_F(BandCoreTest, EachStepRefillsTheBlendTable) {
  const Ref<tProbeHandler> first = Begin(1000, 64);
  const Ref<tProbeHandler> second = Begin(1000, 600, 0x01);
  first->BeginStep(10);
  first->BeginStep(510);
  second->BeginStep(10);
  ASSERT_EQ(log_.Calls().size(), 3u);
  EXPECT_EQ(log_.Calls()[0].routine, PixelRoutine::kInitTable);
  EXPECT_EQ(log_.Calls()[0].phase, 0);
  EXPECT_EQ(log_.Calls()[0].vague, 64);
  EXPECT_EQ(log_.Calls()[1].phase, 159);
  EXPECT_EQ(log_.Calls()[1].dest, log_.Calls()[0].dest);
  EXPECT_EQ(log_.Calls()[2].routine, PixelRoutine::kInitTableD);
  EXPECT_EQ(log_.Calls()[2].vague, 600);
}

TEST_F(BandCoreTest, EndsPassSourcesThroughAndBlendOnlyBetween) {
  const Ref<tProbeHandler> handler = Begin(100, 64);
  const auto band = [&] {
    tZANBandData data{};
    data.top = 1;
    data.width = 4;
    data.height = 2;
    data.dest = dest_.get();
    data.destTop = 1;
    data.src1 = src1_.get();
    data.src1Left = 1;
    data.src1Top = 2;
    data.src2 = src2_.get();
    data.src2Left = 3;
    data.src2Top = 4;
    return data;
  };
  const int references[] = {src1_->RefCount(), src2_->RefCount(), dest_->RefCount()};

  handler->BeginStep(50);
  tZANBandData start = band();
  EXPECT_EQ(handler->ProcessBand(&start), 0);
  EXPECT_EQ(start.dest, src1_.get());
  EXPECT_EQ(start.destLeft, 1);
  EXPECT_EQ(start.destTop, 2);

  handler->BeginStep(100);
  tZANBandData middle = band();
  EXPECT_EQ(handler->ProcessBand(&middle), 0);
  EXPECT_EQ(middle.dest, dest_.get());
  EXPECT_EQ(handler->blendPhases, std::vector<orn_int>{159});

  handler->BeginStep(150);
  tZANBandData end = band();
  EXPECT_EQ(handler->ProcessBand(&end), 0);
  EXPECT_EQ(end.dest, src2_.get());
  EXPECT_EQ(end.destLeft, 3);
  EXPECT_EQ(end.destTop, 4);
  EXPECT_EQ(handler->blendPhases.size(), 1u);

  EXPECT_EQ(src1_->RefCount(), references[0]);
  EXPECT_EQ(src2_->RefCount(), references[1]);
  EXPECT_EQ(dest_->RefCount(), references[2]);
  iZANLineSource *chosen = nullptr;
  EXPECT_EQ(handler->ChooseFinalImage(&chosen, src1_.get(), src2_.get()), 0);
  EXPECT_EQ(chosen, src2_.get());
}

TEST_F(BandCoreTest, MaxPhaseZeroShowsTheFirstSourceAndEndsAtOnce) {
  for (tOVInteger vague : {-255, -256, -100000}) {
    const Ref<tProbeHandler> handler = Begin(100, vague);
    EXPECT_EQ(handler->MaxPhase(), 0);
    handler->BeginStep(7);
    tZANBandData band{};
    band.src1 = src1_.get();
    band.src2 = src2_.get();
    band.dest = dest_.get();
    EXPECT_EQ(handler->ProcessBand(&band), 0);
    EXPECT_EQ(band.dest, src1_.get());
    EXPECT_EQ(handler->EndStep(), 2);
    EXPECT_TRUE(handler->blendPhases.empty());
  }
}

TEST_F(BandCoreTest, LayerSizeMismatchNamesSecondSizeFirst) {
  struct Case {
    orn_int width1, height1, width2, height2;
    std::u16string message;
  };
  const Case cases[] = {
      {10, 20, 10, 30, u"layer size mismatch (10x30, 10x20)"},
      {10, 20, 11, 20, u"layer size mismatch (11x20, 10x20)"},
      {-1, 0, 0, -2147483647 - 1, u"layer size mismatch (0x-2147483648, -1x0)"},
  };
  const Ref<OptionSource> options = Ref<OptionSource>::Adopt(OptionSource::Create({}));
  for (const Case &c : cases) {
    orn_int flags[2] = {0, 0};
    auto *const untouched = reinterpret_cast<iZANBandTransHandler *>(&flags);
    iZANBandTransHandler *handler = untouched;
    try {
      provider_.BeginTransition(options.get(), nullptr, 0, c.width1, c.height1, c.width2, c.height2,
                                &flags[0], &flags[1], &handler);
      ADD_FAILURE() << "no error raised";
    } catch (const ScriptError &error) {
      EXPECT_EQ(error.Message(), c.message);
    }
    EXPECT_EQ(flags[0], 1);
    EXPECT_EQ(flags[1], 1);
    EXPECT_EQ(handler, untouched);
  }
}

TEST_F(BandCoreTest, MissingSlotsAndMemoryAreAnsweredWithoutRaising) {
  const Ref<OptionSource> options = Ref<OptionSource>::Adopt(OptionSource::Create({}));
  orn_int flags[2] = {0, 0};
  EXPECT_EQ(provider_.BeginTransition(options.get(), nullptr, 0, 4, 3, 4, 3, &flags[0], &flags[1],
                                      nullptr),
            -1);
  EXPECT_EQ(flags[0], 1);
  EXPECT_EQ(flags[1], 1);
  flags[0] = flags[1] = 0;
  auto *const untouched = reinterpret_cast<iZANBandTransHandler *>(&flags);
  iZANBandTransHandler *handler = untouched;
  EXPECT_EQ(
      provider_.BeginTransition(nullptr, nullptr, 0, 4, 3, 4, 3, &flags[0], &flags[1], &handler),
      -1);
  EXPECT_EQ(handler, untouched);
  EXPECT_EQ(flags[0], 1);
  EXPECT_EQ(flags[1], 1);
  EXPECT_EQ(
      provider_.BeginTransition(options.get(), nullptr, 0, 4, 3, 4, 3, nullptr, nullptr, &handler),
      0);
  EXPECT_EQ(handler, nullptr);  // no "handler" option: out of memory
  const orn_char *name = nullptr;
  EXPECT_EQ(provider_.GetName(nullptr), -1);
  EXPECT_EQ(provider_.GetName(&name), 0);
  EXPECT_EQ(std::u16string(name), u"probe");
}

TEST_F(BandCoreTest, HandlerHoldsOneReferenceOnItsOptionSource) {
  const Ref<OptionSource> other = Ref<OptionSource>::Adopt(OptionSource::Create({}));
  {
    const Ref<tProbeHandler> handler = Begin(100, 64);
    EXPECT_EQ(handler->SetOptionSource(other.get()), 0);
    EXPECT_EQ(other->RefCount(), 2);
    EXPECT_EQ(handler->SetOptionSource(other.get()), 0);
    EXPECT_EQ(other->RefCount(), 2);
    EXPECT_EQ(handler->SetOptionSource(nullptr), 0);
    EXPECT_EQ(other->RefCount(), 1);
    EXPECT_EQ(handler->SetOptionSource(other.get()), 0);
    EXPECT_EQ(handler->AddRef(), 0);
    EXPECT_EQ(handler->Release(), 0);
    EXPECT_EQ(other->RefCount(), 2);
  }
  EXPECT_EQ(other->RefCount(), 1);
}

}  // namespace
}  // namespace zanhost
