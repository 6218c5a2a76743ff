// Loads a module file as the engine does: the system loader, then the entries V2Link and
// V2Unlink by name. The library is closed on destruction only when it was never
// linked or its last V2Unlink succeeded; a module that refused to unlink may
// still own objects the host holds, so its code stays mapped.
#pragma once

#include <stdexcept>
#include <string>

#include "hostapi/entry.h"

namespace zanhost {

// A module file that cannot be opened (what(): the loader's reason, which
// names the file), or lacks an entry.
class PluginLoadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class PluginLibrary {
 public:
  // Throws PluginLoadError.
  explicit PluginLibrary(const std::string &path);
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary &) = delete;
  PluginLibrary &operator=(const PluginLibrary &) = delete;

  // V2Link's status; a script error it raises passes through.
  orn_int Link(iZANFunctionLookup *lookup);
  // V2Unlink's status: 0 unlinked, E_FAIL refused.
  orn_int Unlink();
  bool Linked() const { return linked_; }

 private:
  void *handle_;
  V2LinkFunction link_;
  V2UnlinkFunction unlink_;
  bool linked_ = false;
};

}  // namespace zanhost
