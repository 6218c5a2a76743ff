#include "host/picture_reader.h"

#include <array>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "host/picture_limits.h"
#include "host/png_reader.h"

namespace zanhost {
namespace {

enum class Format { kPng, kJpeg, kWebp, kUnknown };

struct FormatEntry {
  Format format;
  const char *name;
  bool built;
};

constexpr std::array<FormatEntry, 3> kFormats = {{
    {Format::kPng, "PNG", FX_READS_PNG != 0},
    {Format::kJpeg, "JPEG", FX_READS_JPEG != 0},
    {Format::kWebp, "WebP", FX_READS_WEBP != 0},
}};

Format Sniff(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    FailReading(path, "cannot be opened");
  }
  std::array<char, 12> head{};
  file.read(head.data(), head.size());
  const auto count = static_cast<size_t>(file.gcount());
  const auto starts = [&](size_t at, const char *bytes, size_t length) {
    return count >= at + length && std::memcmp(head.data() + at, bytes, length) == 0;
  };
  if (starts(0, "\x89PNG\r\n\x1a\n", 8)) {
    return Format::kPng;
  }
  if (starts(0, "\xff\xd8\xff", 3)) {
    return Format::kJpeg;
  }
  if (starts(0, "RIFF", 4) && starts(8, "WEBP", 4)) {
    return Format::kWebp;
  }
  return Format::kUnknown;
}

}  // namespace

std::string ReadableFormats() {
  std::vector<std::string> names;
  for (const FormatEntry &entry : kFormats) {
    if (entry.built) {
      names.push_back(entry.name);
    }
  }
  if (names.empty()) {
    return "no picture files";
  }
  std::string text = names[0];
  for (size_t i = 1; i < names.size(); ++i) {
    text += (i + 1 == names.size() ? " and " : ", ") + names[i];
  }
  return text;
}

PixelBuffer ReadPicture(const std::string &path) {
  const Format format = Sniff(path);
  for (const FormatEntry &entry : kFormats) {
    if (entry.format != format) {
      continue;
    }
    if (!entry.built) {
      FailReading(path, std::string("a ") + entry.name +
                            " picture, which this build does not read (it reads " +
                            ReadableFormats() + ")");
    }
    switch (format) {
#if FX_READS_PNG
      case Format::kPng:
        return ReadPng(path);
#endif
#if FX_READS_JPEG
      case Format::kJpeg:
        return ReadJpeg(path);
#endif
#if FX_READS_WEBP
      case Format::kWebp:
        return ReadWebp(path);
#endif
      default:
        break;
    }
  }
  FailReading(path, "not a picture in a format read here (" + ReadableFormats() + ")");
}

}  // namespace zanhost
