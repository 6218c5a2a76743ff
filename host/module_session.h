// One loaded module in a fresh reference host, as the engine holds it, and the
// script calls of its global functions. Every user of the built module (tests,
// benchmarks, fuzz targets, the program) runs it through these.
//
// A session opens the module file and links it to its environment's function
// lookup. Closing (at the latest on destruction) shuts down as the engine does:
// the script world first lets go of the module's global functions, then the
// module is unlinked before the host goes. A module that refuses stays mapped
// (see host/plugin_loader.h).
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "host/environment.h"
#include "host/plugin_loader.h"
#include "host/script_value.h"

namespace zanhost {

// The global functions the module registers on the global object when linked.
inline constexpr const orn_char *kModuleGlobalFunctions[] = {u"distortion", u"blur", u"blur_alpha"};

// Drops the global object's hold on the module's functions, as a script
// ending does; V2Unlink refuses while they are held.
void DropModuleGlobalFunctions(Environment &env);

// A script call of global function `name` (CallMember on the global object);
// its status comes back, a raised script error passes through.
orn_int CallGlobalFunction(Environment &env, const orn_char *name, std::vector<Variant> &arguments);

// V2Link refused.
class ModuleLinkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ModuleSession {
 public:
  // Throws PluginLoadError for a file that is no module, ModuleLinkError when
  // V2Link fails; a script error that V2Link raises passes through. `prepare`,
  // when given, may rebind host functions before the module first sees them.
  explicit ModuleSession(const std::string &modulePath,
                         void (*prepare)(FunctionTable &functions) = nullptr);
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

}  // namespace zanhost
