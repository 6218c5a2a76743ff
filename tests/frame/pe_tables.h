// The export and import tables of a Windows DLL, read from its file, so that a
// test can check what the module offers and needs on any build machine.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace fxtest {

inline constexpr uint16_t kPeMachineX86 = 0x14c;
inline constexpr uint16_t kPeMachineX64 = 0x8664;

struct PeTables {
  uint16_t machine = 0;
  std::set<std::string> exports;  // the exported names, as a loader finds them
  std::set<std::string> imports;  // the names of the DLLs it imports from
};

// The bytes of the file; empty when it cannot be read.
std::vector<char> ReadFileBytes(const std::string &path);

// The tables of a PE image; false when `file` is not one or a table points
// outside it.
bool ReadPeTables(const std::vector<char> &file, PeTables &tables);

}  // namespace fxtest
