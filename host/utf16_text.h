// Conversions between the script's UTF-16 texts and the 8-bit texts of the C++
// side (exception texts, file names, signature keys).
#pragma once

#include <string>
#include <string_view>

#include "hostapi/types.h"

namespace zanhost {

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// Each byte becomes one code unit (Latin-1); signature keys are plain ASCII.
std::u16string WidenBytes(std::string_view text);

// A zero-terminated script text; null reads as the empty text.
std::u16string_view TextView(const orn_char *text);

}  // namespace zanhost
