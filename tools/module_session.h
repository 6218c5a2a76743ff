// One loaded module in a fresh reference host, as the engine holds it: the
// host environment, then the module file opened and linked to the host's
// function lookup. Destruction unlinks the module before the host goes; a
// module that refuses stays mapped (see host/plugin_loader.h).
#pragma once

#include <string>

#include "host/environment.h"
#include "host/plugin_loader.h"

namespace zanhost::cli {

class ModuleSession {
 public:
  // Throws PluginLoadError for a file that is no module, RunError when V2Link
  // fails; a script error that V2Link raises passes through.
  explicit ModuleSession(const std::string &modulePath);
  ~ModuleSession();
  ModuleSession(const ModuleSession &) = delete;
  ModuleSession &operator=(const ModuleSession &) = delete;

  Environment &Host() { return environment_; }

 private:
  Environment environment_;
  PluginLibrary library_;
};

// The module built beside the program: <directory of the executable>/../libfxplugin.so.
std::string DefaultModulePath();

}  // namespace zanhost::cli
