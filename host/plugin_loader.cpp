#include "host/plugin_loader.h"

#include <dlfcn.h>

namespace zanhost {
namespace {

std::string LastLoaderError() {
  const char *message = dlerror();
  return message != nullptr ? message : "unknown loader error";
}

void *FindEntry(void *handle, const char *name, const std::string &path) {
  dlerror();
  void *entry = dlsym(handle, name);
  if (entry == nullptr) {
    const std::string reason = LastLoaderError();
    dlclose(handle);
    throw PluginLoadError(path + " has no entry " + name + ": " + reason);
  }
  return entry;
}

// A name without a slash would be searched for on the library path; a module
// file is always named by its path.
std::string AsFilePath(const std::string &path) {
  return path.find('/') == std::string::npos ? "./" + path : path;
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string &path)
    : handle_(dlopen(AsFilePath(path).c_str(), RTLD_NOW | RTLD_LOCAL)) {
  if (handle_ == nullptr) {
    throw PluginLoadError(LastLoaderError());
  }
  link_ = reinterpret_cast<V2LinkFunction>(FindEntry(handle_, V2LinkName, path));
  unlink_ = reinterpret_cast<V2UnlinkFunction>(FindEntry(handle_, V2UnlinkName, path));
}

PluginLibrary::~PluginLibrary() {
  if (!linked_) {
    dlclose(handle_);
  }
}

orn_int PluginLibrary::Link(iZANFunctionLookup *lookup) {
  // Set first: a V2Link that raises may already have registered objects.
  linked_ = true;
  return link_(lookup);
}

orn_int PluginLibrary::Unlink() {
  const orn_int status = unlink_();
  if (status == 0) {
    linked_ = false;
  }
  return status;
}

}  // namespace zanhost
