// The program's session of the loaded module (host/module_session.h): the
// module path checked first, the script conversions watched from the start
// (tools/conversion_watch.h), and every failure to open or link told as a
// RunError in the program's words.
#pragma once

#include <string>

#include "host/module_session.h"

namespace zanhost::cli {

class ModuleSession {
 public:
  explicit ModuleSession(const std::string &modulePath);

  Environment &Host() { return session_.Host(); }
  // V2Unlink's status (0 once unlinked); later calls answer 0.
  orn_int Close() { return session_.Close(); }

 private:
  zanhost::ModuleSession session_;
};

// The module built beside the program: <directory of the executable>/../
// libfxplugin.so (fxplugin.dll on Windows).
std::string DefaultModulePath();

}  // namespace zanhost::cli
