// Every allocation an operation makes fails in turn: the module's own (its
// providers, functions, handlers, scratch lines, rules and work storage) and
// the host's (strings, tables, the options and pictures it makes while the
// module calls it). Each operation runs in a fresh host on a freshly loaded
// module, once with nothing failing and then with allocation n failing for
// n = 1, 2, ... until it completes with no failure injected.
//
// Who had to cope decides what may happen. A failure in the module's code must
// end in success, a null handler or a script error of the module's own ("not
// enough memory ..."), never in an exception of its own; a failure in the
// host's code ends in the host's error (its script error or std::bad_alloc),
// which the module must let pass. Either way nothing crashes, the pictures are
// as they were before the failing call, every counted host object and every
// block allocated is given back, and the module can still unlink.
#include "instrument/allocation_failure.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <ostream>
#include <string>
#include <vector>

#include "host/environment.h"
#include "host/plugin_loader.h"
#include "host/ref_counted.h"
#include "host/script_error.h"
#include "host/utf16_text.h"
#include "instrument/allocation_meter.h"
#include "tests/layer_pictures.h"
#include "tests/loaded_module.h"
#include "tests/transitions/loaded_module_fixture.h"

namespace {

using instrument::tAllocationFailure;
using zanhost::Variant;

constexpr int kWidth = 61;
constexpr int kHeight = 47;
constexpr tOVInteger kTime = 1000;
// Frames from the first step (phase 0) through blends to the last phase.
constexpr uint64_t kTicks[] = {0, 250, 500, 750, 1000};
// Above the host's small strings and records, below the module's rules,
// handlers and work storage for pictures of this size.
constexpr std::size_t kLargeAllocation = 512;

// The code of the loaded module: where a failed allocation was asked for.
class tModuleCode {
 public:
  tModuleCode() {
    void *handle = dlopen(FX_MODULE_PATH, RTLD_LAZY | RTLD_NOLOAD);
    Dl_info info{};
    if (handle != nullptr && dladdr(dlsym(handle, V2LinkName), &info) != 0) {
      base_ = info.dli_fbase;
    }
    if (handle != nullptr) {
      dlclose(handle);
    }
  }
  bool Loaded() const { return base_ != nullptr; }
  bool Contains(const void *address) const {
    Dl_info info{};
    return address != nullptr && dladdr(address, &info) != 0 && info.dli_fbase == base_;
  }

 private:
  void *base_ = nullptr;
};

// The pictures' digests before the first call and after each call that
// completed. Fixed storage: a run's leak check must not see it.
struct tPictureSteps {
  std::array<uint64_t, 8> digests{};
  size_t count = 0;
  void Add(uint64_t digest) {
    ASSERT_LT(count, digests.size());
    digests[count++] = digest;
  }
};

// One run: a fresh host, the module loaded afresh, and what the operation
// works on. Members are destroyed from the last: pictures and transitions
// before the module's code goes, the module before the host.
struct tRun {
  zanhost::Environment env;
  zanhost::PluginLibrary module{FX_MODULE_PATH};
  uint64_t linkFailure = 0;  // the "unlink" entry's link fails at this allocation
  zanhost::OptionList options;
  std::vector<Variant> arguments;
  std::vector<fxtest::LayerRef> layers;
  std::unique_ptr<zanhost::Stage> stage;
  tPictureSteps steps;

  // A call into the module completed: what the pictures show now.
  void Completed();
};

// A digest of every byte the operation may write: the Layers (their row slack
// included), or the transition's three images. It allocates nothing that
// outlives it, so the leak check of a run can take it at any point.
uint64_t PicturesDigest(tRun &run) {
  uint64_t digest = 14695981039346656037u;  // 64-bit FNV-1a
  auto add = [&digest](const std::vector<uint8_t> &bytes) {
    for (const uint8_t byte : bytes) {
      digest = (digest ^ byte) * 1099511628211u;
    }
  };
  for (const fxtest::LayerRef &layer : run.layers) {
    add(layer->Pixels()->Bytes());
  }
  if (run.stage) {
    for (zanhost::BufferLineSource *image :
         {run.stage->src1.get(), run.stage->src2.get(), run.stage->dest.get()}) {
      add(image->Pixels().Bytes());
    }
  }
  return digest;
}

void tRun::Completed() {
  steps.Add(PicturesDigest(*this));
}

enum class tEnd {
  kSucceeded,
  kNullHandler,   // a transition began without a handler
  kRaised,        // a script error reached the caller
  kOutOfMemory,   // std::bad_alloc reached the caller
  kFailedStatus,  // a call answered a failure without saying why
  kForeign,       // any other exception
};

// In the order of tEnd.
const char *EndName(tEnd end) {
  constexpr const char *names[] = {"succeeded",      "null handler",   "script error",
                                   "std::bad_alloc", "failure status", "foreign exception"};
  return names[static_cast<int>(end)];
}

struct tEntry {
  const char *name;
  // Unarmed: links the module (unless linking is the operation) and makes
  // what the operation works on.
  void (*prepare)(tRun &);
  // Armed: the calls into the module, counting each one that completes.
  tEnd (*operate)(tRun &, const orn_char *target);
  const orn_char *target;  // the transition or function it starts or calls
  // Whether the module allocates during the operation, so that some failure
  // must land in its code (which proves it reaches the replaced allocator).
  bool moduleAllocates;
};

// Entries --------------------------------------------------------------------

void Link(tRun &run) {
  ASSERT_EQ(run.module.Link(&run.env.Functions()), 0);
}

void PrepareNothing(tRun &) {}

tEnd LinkModule(tRun &run, const orn_char *) {
  if (run.module.Link(&run.env.Functions()) != 0) {
    return tEnd::kFailedStatus;
  }
  for (const orn_char *transition : {u"test", u"add", u"brightness"}) {
    EXPECT_NE(run.env.Registry().Find(transition), nullptr) << "a transition is missing";
  }
  for (const orn_char *function : {u"distortion", u"blur", u"blur_alpha"}) {
    EXPECT_EQ(run.env.Global().GetMember(0, function, nullptr, nullptr, &run.env.Global()), 0)
        << "a function is missing";
  }
  run.Completed();
  return tEnd::kSucceeded;
}

// A link that a failure stopped midway (or, past its last allocation, a whole
// one), and the script's hold on whatever functions it registered dropped.
void PrepareFailedLink(tRun &run) {
  try {
    const auto failure = tAllocationFailure::Nth(run.linkFailure);
    run.module.Link(&run.env.Functions());
  } catch (const zanhost::ScriptError &) {
  } catch (const std::bad_alloc &) {
  }
  zanhost::DropModuleGlobalFunctions(run.env);
}

tEnd UnlinkModule(tRun &run, const orn_char *) {
  if (run.module.Unlink() != 0) {
    return tEnd::kFailedStatus;
  }
  run.Completed();
  return tEnd::kSucceeded;
}

void PrepareStage(tRun &run) {
  Link(run);
  run.stage = std::make_unique<zanhost::Stage>(run.env.Registry(),
                                               zanhost::RandomPicture(kWidth, kHeight, 1),
                                               zanhost::RandomPicture(kWidth, kHeight, 2), 8);
  run.stage->images.AddPicture(u"ramp", zanhost::RuleRamp(kWidth, kHeight));
}

void PrepareAdd(tRun &run) {
  PrepareStage(run);
  run.options = zanhost::Options({{u"time", Variant::Integer(kTime)},
                                  {u"vague", Variant::Integer(48)},
                                  {u"add", Variant::String(u"in")},
                                  {u"rule", Variant::String(u"ramp")}});
}

void PrepareBrightness(tRun &run) {
  PrepareStage(run);
  run.options = zanhost::Options({{u"time", Variant::Integer(kTime)},
                                  {u"blur", Variant::Integer(3)},
                                  {u"rule", Variant::String(u"back_light")}});
}

void PrepareTest(tRun &run) {
  PrepareStage(run);
  run.options =
      zanhost::Options({{u"time", Variant::Integer(kTime)}, {u"maxomega", Variant::Real(0.5)}});
}

// Starts the transition on the stage and runs its frames to the end.
tEnd RunTransition(tRun &run, const orn_char *name) {
  if (run.stage->Start(name, std::move(run.options)) < 0) {
    return run.stage->driver.Running() ? tEnd::kFailedStatus : tEnd::kNullHandler;
  }
  run.Completed();
  zanhost::FrameReport report{0, false};
  for (const uint64_t tick : kTicks) {
    report = run.stage->Frame(tick);
    if (report.status < 0) {
      return tEnd::kFailedStatus;
    }
    run.Completed();
  }
  return report.finished ? tEnd::kSucceeded : tEnd::kFailedStatus;
}

// A Layer of random pixels whose row slack is poisoned, to catch stray writes.
const fxtest::LayerRef &AddLayer(tRun &run, fxtest::PitchKind pitch, unsigned seed,
                                 bool transparent) {
  std::mt19937 random(seed);
  run.layers.push_back(fxtest::MakeRandomLayer(kWidth, kHeight, pitch, random, transparent));
  fxtest::PoisonSlack(*run.layers.back());
  return run.layers.back();
}

void PrepareOneLayer(tRun &run) {
  Link(run);
  const fxtest::LayerRef &layer = AddLayer(run, fxtest::PitchKind::kNegativePadded, 7, true);
  run.arguments = {fxtest::Arg(layer), fxtest::Arg(3), fxtest::Arg(2)};
}

void PrepareTwoLayers(tRun &run) {
  Link(run);
  AddLayer(run, fxtest::PitchKind::kNegativePadded, 7, true);
  AddLayer(run, fxtest::PitchKind::kPadded, 8, false);
  run.arguments = {fxtest::Arg(run.layers[0]), fxtest::Arg(run.layers[1]), fxtest::Arg(0.25),
                   fxtest::Arg(6.0),           fxtest::Arg(20.0),          fxtest::Arg(160)};
}

// A script's call of the global function with the prepared arguments.
tEnd CallFunction(tRun &run, const orn_char *name) {
  const fxtest::tCallEnd end = fxtest::CallGlobal(run.env, name, std::move(run.arguments));
  if (end.raised) {
    throw zanhost::ScriptError(end.message);
  }
  if (end.status != 0) {
    return tEnd::kFailedStatus;
  }
  run.Completed();
  return tEnd::kSucceeded;
}

// Names the entry in the messages of a failed test.
void PrintTo(const tEntry &entry, std::ostream *out) {
  *out << entry.name;
}

const tEntry kEntries[] = {
    {"link", PrepareNothing, LinkModule, nullptr, true},
    {"unlink_after_failed_link", PrepareFailedLink, UnlinkModule, nullptr, false},
    {"add", PrepareAdd, RunTransition, u"add", true},
    {"brightness", PrepareBrightness, RunTransition, u"brightness", true},
    {"test", PrepareTest, RunTransition, u"test", true},
    {"blur", PrepareOneLayer, CallFunction, u"blur", true},
    {"blur_alpha", PrepareOneLayer, CallFunction, u"blur_alpha", true},
    {"distortion", PrepareTwoLayers, CallFunction, u"distortion", false},
};

// Runs ----------------------------------------------------------------------

struct tRunEnd {
  bool fired = false;     // the failure was injected
  bool inModule = false;  // ... into an allocation asked for by the module's code
  tEnd end = tEnd::kSucceeded;
  std::array<char, 160> message{};  // the script error's, cut to fit
  uint64_t pictures = 0;            // their digest once the operation ended
  uint64_t allocations = 0;
  tPictureSteps steps;
};

// One run of `entry` from scratch while the failure `makeFailure()` gives
// lives, then unlinked and torn down; checks that the host's objects and every
// block allocated on the way came back.
template <class MakeFailure>
tRunEnd RunOnce(const tEntry &entry, uint64_t linkFailure, MakeFailure makeFailure) {
  tRunEnd result;
  const zanhost::LedgerSnapshot start = zanhost::TakeLedgerSnapshot();
  {
    const instrument::tAllocationMeter meter;
    {
      tRun run;
      run.linkFailure = linkFailure;
      entry.prepare(run);
      const tModuleCode moduleCode;
      EXPECT_TRUE(moduleCode.Loaded());
      run.steps.Add(PicturesDigest(run));
      {
        const tAllocationFailure failure = makeFailure();
        try {
          result.end = entry.operate(run, entry.target);
        } catch (const zanhost::ScriptError &error) {
          result.end = tEnd::kRaised;
          const std::string text = zanhost::ToUtf8(error.Message());
          text.copy(result.message.data(), result.message.size() - 1);
        } catch (const std::bad_alloc &) {
          result.end = tEnd::kOutOfMemory;
        } catch (...) {
          result.end = tEnd::kForeign;
        }
        result.fired = failure.Failures() > 0;
        result.inModule = moduleCode.Contains(failure.FirstFailedCaller());
        result.allocations = failure.Count();
      }
      result.pictures = PicturesDigest(run);
      result.steps = run.steps;
      zanhost::DropModuleGlobalFunctions(run.env);
      if (run.module.Linked()) {
        EXPECT_EQ(run.module.Unlink(), 0) << "the module cannot unlink after the run";
      }
    }
    EXPECT_EQ(meter.HeldBytes(), 0u) << "memory leaked";
  }
  EXPECT_FALSE(tModuleCode().Loaded()) << "the module stayed loaded: the next run is not fresh";
  const zanhost::LedgerSnapshot end = zanhost::TakeLedgerSnapshot();
  EXPECT_EQ(end.liveObjects, start.liveObjects) << "host objects leaked or freed twice";
  EXPECT_EQ(end.references, start.references) << "references leaked or dropped twice";
  return result;
}

// The fault-free run (a failure that only counts): it must succeed, and its
// pictures after each call are what the other runs are compared with.
tRunEnd ReferenceRun(const tEntry &entry, uint64_t linkFailure) {
  const tRunEnd reference = RunOnce(entry, linkFailure, [] { return tAllocationFailure::Nth(0); });
  EXPECT_EQ(reference.end, tEnd::kSucceeded) << EndName(reference.end);
  return reference;
}

void ExpectDefinedEnd(const tEntry &entry, const tRunEnd &run, const tRunEnd &reference) {
  const tPictureSteps &expected = reference.steps;
  switch (run.end) {
    case tEnd::kSucceeded:
      EXPECT_EQ(run.pictures, expected.digests[expected.count - 1])
          << "succeeded with other pictures";
      return;
    case tEnd::kNullHandler:
      EXPECT_TRUE(run.inModule) << "a null handler for a failure of the host's";
      break;
    case tEnd::kRaised:
      EXPECT_NE(run.message[0], '\0') << "a script error without a message";
      if (run.inModule) {
        EXPECT_EQ(std::string(run.message.data()).rfind("not enough memory", 0), 0u)
            << "the module's failure raised \"" << run.message.data() << "\"";
      }
      break;
    case tEnd::kOutOfMemory:
      EXPECT_FALSE(run.inModule) << "the module let its own std::bad_alloc reach the host";
      break;
    case tEnd::kFailedStatus:
    case tEnd::kForeign:
      ADD_FAILURE() << "a failure in the " << (run.inModule ? "module" : "host")
                    << "'s code ended in a " << EndName(run.end);
      return;
  }
  // The calls before the failing one completed; the failing one wrote nothing,
  // unless the host failed once the module's work was done (it records a
  // Layer's update request after the pixels are drawn).
  const size_t done = run.steps.count;
  ASSERT_LT(done, expected.count);
  const bool untouched = run.pictures == expected.digests[done - 1];
  const bool finished = run.pictures == expected.digests[done];
  EXPECT_TRUE(untouched || (!run.inModule && finished))
      << "an error (" << EndName(run.end) << ") came with pictures changed by " << entry.name;
}

// Fails each allocation of the operation in turn; the number of failures that
// fell in the module's code.
int FailEachAllocation(const tEntry &entry, uint64_t linkFailure) {
  const tRunEnd reference = ReferenceRun(entry, linkFailure);
  int inModule = 0;
  for (uint64_t n = 1; !testing::Test::HasFatalFailure(); ++n) {
    SCOPED_TRACE(testing::Message() << entry.name << ": allocation " << n << " of "
                                    << reference.allocations << " fails");
    const tRunEnd run = RunOnce(entry, linkFailure, [n] { return tAllocationFailure::Nth(n); });
    if (!run.fired) {
      EXPECT_EQ(n, reference.allocations + 1) << "the runs allocate differently";
      EXPECT_EQ(run.end, tEnd::kSucceeded) << EndName(run.end);
      break;
    }
    inModule += run.inModule ? 1 : 0;
    ExpectDefinedEnd(entry, run, reference);
    if (n > reference.allocations) {
      ADD_FAILURE() << "more allocations than the fault-free run made";
      break;
    }
  }
  return inModule;
}

class AllocationFailure : public ::testing::TestWithParam<tEntry> {};

TEST_P(AllocationFailure, EachAllocationInTurn) {
  const tEntry &entry = GetParam();
  if (entry.operate != UnlinkModule) {
    const int inModule = FailEachAllocation(entry, 0);
    EXPECT_EQ(inModule > 0, entry.moduleAllocates)
        << inModule << " failures fell in the module's code";
    return;
  }
  // Unlink after a link stopped at each of its allocations in turn, and after
  // the whole link (one allocation past its last).
  const uint64_t linkAllocations = ReferenceRun(kEntries[0], 0).allocations;
  ASSERT_GT(linkAllocations, 0u);
  for (uint64_t k = 1; k <= linkAllocations + 1 && !HasFatalFailure(); ++k) {
    SCOPED_TRACE(testing::Message() << "the link failed at allocation " << k);
    EXPECT_EQ(FailEachAllocation(entry, k), 0);
  }
}

// A crowded address space: small blocks can be had, large ones cannot.
TEST_P(AllocationFailure, EveryLargeAllocation) {
  const tEntry &entry = GetParam();
  const tRunEnd reference = ReferenceRun(entry, 0);
  const tRunEnd run = RunOnce(entry, 0, [] { return tAllocationFailure::Above(kLargeAllocation); });
  ExpectDefinedEnd(entry, run, reference);
}

std::string EntryName(const testing::TestParamInfo<tEntry> &info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Entries, AllocationFailure, testing::ValuesIn(kEntries), EntryName);

}  // namespace
