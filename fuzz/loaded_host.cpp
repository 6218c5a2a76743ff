#include "fuzz/loaded_host.h"

#include <cstdio>
#include <cstdlib>

#include "host/plugin_loader.h"

namespace fxfuzz {
namespace {

// The environment and the linked module, unlinked and unloaded at exit so that
// the leak check at exit sees only what a case left behind.
class tLoadedHost {
 public:
  tLoadedHost() : module_(FX_MODULE_PATH) {
    Require(module_.Link(&environment_.Functions()) == 0, "V2Link failed");
  }
  ~tLoadedHost() {
    for (const orn_char *name : {u"distortion", u"blur", u"blur_alpha"}) {
      environment_.Global().DeleteMember(0, name, nullptr, &environment_.Global());
    }
    Require(module_.Unlink() == 0, "V2Unlink refused at exit");
  }
  tLoadedHost(const tLoadedHost &) = delete;
  tLoadedHost &operator=(const tLoadedHost &) = delete;

  zanhost::Environment &Environment() { return environment_; }

 private:
  // Declared first, destroyed last: the module's code must outlive its providers.
  zanhost::PluginLibrary module_;
  zanhost::Environment environment_;
};

}  // namespace

zanhost::Environment &LoadedHost() {
  static tLoadedHost host;
  return host.Environment();
}

void Require(bool condition, const char *what) {
  if (!condition) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
  }
}

}  // namespace fxfuzz
