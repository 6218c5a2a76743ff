#include "tools/script_values.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "host/utf16_text.h"
#include "tools/cli_error.h"

namespace zanhost::cli {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Digits with an optional sign, and nothing else.
bool IsWholeNumber(const std::string &text) {
  const size_t start = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (start == text.size()) {
    return false;
  }
  for (size_t i = start; i < text.size(); ++i) {
    if (!IsDigit(text[i])) {
      return false;
    }
  }
  return true;
}

// A finite decimal number such as "0.25", "-1.5e3"; not "inf", "nan" or hex.
bool ParseDecimal(const std::string &text, double &value) {
  if (text.empty() || text.find_first_of("xXnN") != std::string::npos ||
      (!IsDigit(text[0]) && text[0] != '-' && text[0] != '+' && text[0] != '.')) {
    return false;
  }
  char *end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return *end == '\0' && errno != ERANGE && std::isfinite(value);
}

}  // namespace

Variant ScriptValueFromText(const std::string &text) {
  if (IsWholeNumber(text)) {
    errno = 0;
    const long long whole = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != ERANGE) {
      return Variant::Integer(whole);
    }
  }
  double real = 0;
  if (ParseDecimal(text, real)) {
    return Variant::Real(real);
  }
  return Variant::String(Utf8ToUtf16(text));
}

std::pair<std::u16string, Variant> ParseOption(const std::string &keyValue) {
  const size_t equals = keyValue.find('=');
  if (equals == std::string::npos || equals == 0) {
    throw UsageError("--option needs KEY=VALUE, not '" + keyValue + "'");
  }
  return {Utf8ToUtf16(keyValue.substr(0, equals)),
          ScriptValueFromText(keyValue.substr(equals + 1))};
}

std::u16string Utf8ToUtf16(const std::string &text) {
  std::u16string result;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80       ? 1
                       : lead >> 5 == 6  ? 2
                       : lead >> 4 == 14 ? 3
                       : lead >> 3 == 30 ? 4
                                         : 0;
    char32_t code = length == 1   ? lead
                    : length == 2 ? lead & 0x1Fu
                    : length == 3 ? lead & 0x0Fu
                                  : lead & 0x07u;
    bool valid = length != 0 && i + static_cast<size_t>(length) <= text.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
      valid = next >> 6 == 2;
      code = (code << 6) | (next & 0x3Fu);
    }
    if (!valid || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      result.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      result.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      result.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      result.push_back(static_cast<char16_t>(code));
    }
    i += static_cast<size_t>(length);
  }
  return result;
}

std::string DescribeOptions(const OptionList &options) {
  std::string text;
  for (const auto &[name, value] : options) {
    text += (text.empty() ? "" : " ") + ToUtf8(name) + "=" + ToUtf8(value.AsText());
  }
  return text;
}

}  // namespace zanhost::cli
