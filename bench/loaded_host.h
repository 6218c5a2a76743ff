// The built module loaded and linked into a fresh reference host, as the engine
// runs it, for benchmarks that time whole script calls and transition frames.
#pragma once

#include <cstdint>
#include <vector>

#include "host/environment.h"
#include "host/plugin_loader.h"
#include "host/script_value.h"

namespace fxbench {

class tLoadedHost {
 public:
  tLoadedHost();
  // Drops the module's global functions (as a script ending does) and unlinks.
  ~tLoadedHost();
  tLoadedHost(const tLoadedHost &) = delete;
  tLoadedHost &operator=(const tLoadedHost &) = delete;

  zanhost::Environment &Env() { return env_; }
  // A script call of the global function `name`; its status.
  orn_int Call(const orn_char *name, std::vector<zanhost::Variant> &arguments);

 private:
  zanhost::Environment env_;
  zanhost::PluginLibrary module_{FX_MODULE_PATH};
};

}  // namespace fxbench
