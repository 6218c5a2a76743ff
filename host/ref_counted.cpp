#include "host/ref_counted.h"

namespace zanhost {
namespace {

LedgerSnapshot ledger;

}  // namespace

RefCounted::RefCounted() {
  ++ledger.liveObjects;
  ++ledger.references;
}

RefCounted::~RefCounted() {
  --ledger.liveObjects;
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
