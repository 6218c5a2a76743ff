#include "tools/module_session.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>
#include <system_error>

#include "tools/cli_error.h"

namespace zanhost::cli {
namespace {

// The running program's file, or an empty path when the system cannot say.
std::filesystem::path ExecutablePath() {
#ifdef _WIN32
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return {};
    }
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
#else
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error);
#endif
}

}  // namespace

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
  const std::filesystem::path executable = ExecutablePath();
  const std::filesystem::path directory = executable.empty() ? "." : executable.parent_path();
  return (directory / ".." / FX_MODULE_FILE_NAME).lexically_normal().string();
}

}  // namespace zanhost::cli
