// One loaded module in a fresh reference host, as the engine holds it: the
// host environment, then the module file opened and linked to the host's
// function lookup. Closing (at the latest on destruction) shuts down as the
// engine does: the script world first lets go of the module's global
// functions, then the module is unlinked before the host goes. A module that
// refuses stays mapped (see host/plugin_loader.h).
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
  // V2Unlink's status (0 once unlinked); later calls answer 0.
  orn_int Close();

 private:
  Environment environment_;
  PluginLibrary library_;
};

// The module built beside the program: <directory of the executable>/../
// libfxplugin.so (fxplugin.dll on Windows).
std::string DefaultModulePath();

}  // namespace zanhost::cli
