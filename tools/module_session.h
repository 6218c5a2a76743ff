// Where the program finds the module, and the session it runs it in
// (host/module_session.h).
#pragma once

#include <string>

#include "host/module_session.h"

namespace zanhost::cli {

using zanhost::ModuleSession;

// The module built beside the program: <directory of the executable>/../libfxplugin.so.
std::string DefaultModulePath();

}  // namespace zanhost::cli
