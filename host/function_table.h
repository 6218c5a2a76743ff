// The host's function lookup: every signature key of hostapi/host_functions.h
// mapped to its implementation, each bound through its hostfn pairing so a
// mismatched signature fails to compile.
//
// For tests it counts lookups per key (unknown and withheld keys included) and
// can withhold a key, as a host that lacks that function: a withheld key
// resolves to false until restored. Any key can be bound anew.
#pragma once

#include <map>
#include <set>
#include <string>

#include "hostapi/function_lookup.h"

namespace zanhost {

class FunctionTable : public iZANFunctionLookup {
 public:
  FunctionTable();

  // Never called by the module; does nothing.
  void HostReserved() override {}
  // Fills each slot with the address, or null for a missing key; true when
  // every key was found.
  bool ResolveFunction(const char **keys, void **functions, orn_uint32 count) override;

  int LookupCount(const std::string &key) const;
  void Withhold(const std::string &key) { withheld_.insert(key); }
  void Restore(const std::string &key) { withheld_.erase(key); }
  size_t FunctionCount() const { return functions_.size(); }

  // Binds the key of `Function` (a hostfn pairing) to `implementation`; tests
  // use it to put a recording twin in place of a routine.
  template <class Function>
  void Bind(typename Function::type implementation) {
    functions_[Function::key] = reinterpret_cast<void *>(implementation);
  }

 private:
  std::map<std::string, void *, std::less<>> functions_;
  std::map<std::string, int, std::less<>> lookups_;
  std::set<std::string, std::less<>> withheld_;
};

}  // namespace zanhost
