#include "tests/frame/pe_tables.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fxtest {
namespace {

// Little-endian reads that refuse to leave the file.
class Bytes {
 public:
  explicit Bytes(const std::vector<char> &file) : file_(file) {}

  uint32_t Read(uint64_t offset, int size) const {
    if (offset + static_cast<uint64_t>(size) > file_.size()) {
      throw std::out_of_range("outside the file");
    }
    // Within the file, so the offset fits a size_t.
    const size_t at = static_cast<size_t>(offset);
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
      value = value << 8 | static_cast<unsigned char>(file_[at + static_cast<size_t>(i)]);
    }
    return value;
  }
  uint32_t U16(uint64_t offset) const { return Read(offset, 2); }
  uint32_t U32(uint64_t offset) const { return Read(offset, 4); }

  std::string Text(uint64_t offset) const {
    std::string text;
    while (const uint32_t c = Read(offset + text.size(), 1)) {
      text.push_back(static_cast<char>(c));
    }
    return text;
  }

 private:
  const std::vector<char> &file_;
};

struct Section {
  uint32_t address;
  uint32_t size;
  uint32_t fileOffset;
};

uint64_t FileOffset(const std::vector<Section> &sections, uint32_t rva) {
  for (const Section &section : sections) {
    if (rva >= section.address && rva - section.address < section.size) {
      return uint64_t{section.fileOffset} + (rva - section.address);
    }
  }
  throw std::out_of_range("address in no section");
}

}  // namespace

std::vector<char> ReadFileBytes(const std::string &path) {
  std::ifstream stream(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(stream), {});
}

bool ReadPeTables(const std::vector<char> &file, PeTables &tables) {
  const Bytes bytes(file);
  try {
    if (bytes.U16(0) != 0x5a4d) {  // "MZ"
      return false;
    }
    const uint64_t pe = bytes.U32(0x3c);
    if (bytes.U32(pe) != 0x4550) {  // "PE\0\0"
      return false;
    }
    tables.machine = static_cast<uint16_t>(bytes.U16(pe + 4));
    const uint32_t sectionCount = bytes.U16(pe + 6);
    const uint64_t optional = pe + 24;
    const uint32_t magic = bytes.U16(optional);
    if (magic != 0x10b && magic != 0x20b) {  // PE32, PE32+
      return false;
    }
    const uint64_t directories = optional + (magic == 0x10b ? 96 : 112);
    const uint32_t directoryCount = bytes.U32(directories - 4);
    std::vector<Section> sections;
    const uint64_t table = optional + bytes.U16(pe + 20);
    for (uint32_t i = 0; i < sectionCount; ++i) {
      const uint64_t entry = table + uint64_t{i} * 40;
      sections.push_back({bytes.U32(entry + 12),
                          std::max(bytes.U32(entry + 8), bytes.U32(entry + 16)),
                          bytes.U32(entry + 20)});
    }
    auto directory = [&](uint32_t index) {
      return index < directoryCount ? bytes.U32(directories + index * 8) : 0;
    };
    if (const uint32_t exports = directory(0)) {
      const uint64_t at = FileOffset(sections, exports);
      const uint32_t nameCount = bytes.U32(at + 24);
      const uint64_t names = FileOffset(sections, bytes.U32(at + 32));
      for (uint32_t i = 0; i < nameCount; ++i) {
        tables.exports.insert(bytes.Text(FileOffset(sections, bytes.U32(names + i * 4))));
      }
    }
    if (const uint32_t imports = directory(1)) {
      // Descriptors of 20 bytes, the DLL's name at 12, closed by a zero one.
      for (uint64_t at = FileOffset(sections, imports); bytes.U32(at + 12) != 0; at += 20) {
        tables.imports.insert(bytes.Text(FileOffset(sections, bytes.U32(at + 12))));
      }
    }
  } catch (const std::out_of_range &) {
    return false;
  }
  return true;
}

}  // namespace fxtest
