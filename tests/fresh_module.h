// Loads a private copy of the built module, so that its host function caches
// start empty whatever ran before in this process.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "host/plugin_loader.h"

namespace fxtest {

class FreshModule {
 public:
  FreshModule() {
    static int copies = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("fxplugin-" + std::to_string(getpid()) + "-" + std::to_string(++copies) + ".so");
    std::filesystem::copy_file(FX_MODULE_PATH, path_,
                               std::filesystem::copy_options::overwrite_existing);
    library_ = std::make_unique<zanhost::PluginLibrary>(path_.string());
  }
  ~FreshModule() {
    library_.reset();
    // Windows keeps the file of a module that is still mapped (one that refused
    // to unlink); it stays behind in the temporary folder then.
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  zanhost::PluginLibrary &operator*() { return *library_; }
  zanhost::PluginLibrary *operator->() { return library_.get(); }

 private:
  std::filesystem::path path_;
  std::unique_ptr<zanhost::PluginLibrary> library_;
};

}  // namespace fxtest
