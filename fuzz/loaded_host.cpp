#include "fuzz/loaded_host.h"

#include <cstdio>
#include <cstdlib>

#include "host/module_session.h"

namespace fxfuzz {

namespace {

// Closed at exit, so that the leak check at exit sees only what a case left
// behind; the module must then unlink.
class tCheckedSession : public zanhost::ModuleSession {
 public:
  using ModuleSession::ModuleSession;
  ~tCheckedSession() { Require(Close() == 0, "V2Unlink refused at exit"); }
};

}  // namespace

zanhost::Environment &LoadedHost() {
  static tCheckedSession session(FX_MODULE_PATH);
  return session.Host();
}

void Require(bool condition, const char *what) {
  if (!condition) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
  }
}

}  // namespace fxfuzz
