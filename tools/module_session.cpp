#include "tools/module_session.h"

#include <filesystem>
#include <system_error>

#include "tools/cli_error.h"

namespace zanhost::cli {

ModuleSession::ModuleSession(const std::string &modulePath) : library_(modulePath) {
  const orn_int status = library_.Link(&environment_.Functions());
  if (status < 0) {
    throw RunError("module " + modulePath + " refused to link (status " + std::to_string(status) +
                   ")");
  }
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
