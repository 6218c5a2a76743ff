#include "tools/module_session.h"

#include <filesystem>
#include <system_error>

#include "tools/cli_error.h"
#include "tools/conversion_watch.h"
#include "tools/output_file.h"
#include "tools/platform.h"

namespace zanhost::cli {

namespace {

namespace fs = std::filesystem;

// The path, once checked to name a file.
std::string CheckedModulePath(const std::string &path) {
  std::error_code error;
  const fs::file_type type = fs::status(path, error).type();
  if (type == fs::file_type::not_found) {
    throw RunError("cannot open module " + Quoted(path) + ": there is no such file");
  }
  if (type == fs::file_type::directory) {
    throw RunError("cannot open module " + Quoted(path) + ": it is a folder");
  }
  return path;
}

}  // namespace

ModuleSession::ModuleSession(const std::string &modulePath) try
    : session_(CheckedModulePath(modulePath), WatchConversions) {
} catch (const PluginLoadError &error) {
  throw RunError(Quoted(modulePath) + " is not a module file (" + error.what() + ")");
} catch (const ModuleLinkError &error) {
  throw RunError(error.what());
}

std::string DefaultModulePath() {
  const fs::path executable = ExecutablePath();
  const fs::path directory = executable.empty() ? "." : executable.parent_path();
  return (directory / ".." / FX_MODULE_FILE_NAME).lexically_normal().string();
}

}  // namespace zanhost::cli
