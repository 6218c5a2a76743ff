#include "tools/module_session.h"

#include <filesystem>
#include <system_error>

namespace zanhost::cli {

std::string DefaultModulePath() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path directory = error ? "." : executable.parent_path();
  return (directory / ".." / "libfxplugin.so").lexically_normal().string();
}

}  // namespace zanhost::cli
