// Reference counting shared by every counted host object (script objects,
// strings, line and option sources), and the ledger that sums them so tests can
// prove that the module gives back every reference it takes.
#pragma once

namespace zanhost {

// Starts at one reference, held by the creator; the Drop that reaches zero
// deletes the object. Host thread only, like every caller of the module.
class RefCounted {
 public:
  RefCounted(const RefCounted &) = delete;
  RefCounted &operator=(const RefCounted &) = delete;

  // Both return the new count.
  int Retain();
  int Drop();
  int RefCount() const { return refCount_; }

 protected:
  RefCounted();
  virtual ~RefCounted();

 private:
  int refCount_ = 1;
};

// Live counted host objects and the references held on them, process-wide.
struct LedgerSnapshot {
  long liveObjects = 0;
  long references = 0;
  bool operator==(const LedgerSnapshot &other) const {
    return liveObjects == other.liveObjects && references == other.references;
  }
  bool operator!=(const LedgerSnapshot &other) const { return !(*this == other); }
};

LedgerSnapshot TakeLedgerSnapshot();

}  // namespace zanhost
