#include "tools/module_session.h"

#include <filesystem>
#include <system_error>

#include "tools/cli_error.h"
#include "tools/conversion_watch.h"
#include "tools/output_file.h"

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
    : library_(CheckedModulePath(modulePath)) {
  WatchConversions(environment_.Functions());
  const orn_int status = library_.Link(&environment_.Functions());
  if (status < 0) {
    throw RunError("module " + modulePath + " refused to link (status " + std::to_string(status) +
                   ")");
  }
} catch (const PluginLoadError &error) {
  throw RunError(Quoted(modulePath) + " is not a module file (" + error.what() + ")");
}

ModuleSession::~ModuleSession() {
  Close();
}

orn_int ModuleSession::Close() {
  if (!library_.Linked()) {
    return 0;
  }
  // While script values still hold the module's objects, V2Unlink refuses.
  GlobalObject &global = environment_.Global();
  for (const orn_char *function : {u"distortion", u"blur", u"blur_alpha"}) {
    global.DeleteMember(0, function, nullptr, &global);
  }
  return library_.Unlink();
}

std::string DefaultModulePath() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path directory = error ? "." : executable.parent_path();
  return (directory / ".." / "libfxplugin.so").lexically_normal().string();
}

}  // namespace zanhost::cli
