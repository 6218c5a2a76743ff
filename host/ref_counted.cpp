#include "host/ref_counted.h"

namespace zanhost {
namespace {

LedgerSnapshot ledger;

}  // namespace

RefCounted::RefCounted() {
  ++ledger.liveObjects;
  ++ledger.references;
}

// A derived constructor that throws never reaches Drop: the creator's
// reference goes with the object.
RefCounted::~RefCounted() {
  --ledger.liveObjects;
  ledger.references -= refCount_;
}

int RefCounted::Retain() {
  ++ledger.references;
  return ++refCount_;
}

int RefCounted::Drop() {
  --ledger.references;
  const int remaining = --refCount_;
  if (remaining == 0) {
    delete this;
  }
  return remaining;
}

LedgerSnapshot TakeLedgerSnapshot() {
  return ledger;
}

}  // namespace zanhost
