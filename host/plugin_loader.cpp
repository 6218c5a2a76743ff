#include "host/plugin_loader.h"

#include "host/library_file.h"

namespace zanhost {
namespace {

void *FindEntry(void *handle, const char *name, const std::string &path) {
  std::string reason;
  void *entry = FindLibraryEntry(handle, name, reason);
  if (entry == nullptr) {
    CloseLibraryFile(handle);
    throw PluginLoadError(path + " has no entry " + name + ": " + reason);
  }
  return entry;
}

// A name without a slash would be searched for on the library path; a module
// file is always named by its path.
std::string AsFilePath(const std::string &path) {
  return path.find_first_of("/\\") == std::string::npos ? "./" + path : path;
}

// The loader's reason names the file.
void *OpenModule(const std::string &path) {
  std::string reason;
  void *handle = OpenLibraryFile(AsFilePath(path), reason);
  if (handle == nullptr) {
    throw PluginLoadError(reason);
  }
  return handle;
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string &path) : handle_(OpenModule(path)) {
  link_ = reinterpret_cast<V2LinkFunction>(FindEntry(handle_, V2LinkName, path));
  unlink_ = reinterpret_cast<V2UnlinkFunction>(FindEntry(handle_, V2UnlinkName, path));
}

PluginLibrary::~PluginLibrary() {
  if (!linked_) {
    CloseLibraryFile(handle_);
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
