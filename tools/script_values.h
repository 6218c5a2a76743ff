// Command-line words turned into the values a script would pass: a whole
// number becomes an integer, another decimal number a real, and any other text
// a string (which the module may then refuse with its own message).
#pragma once

#include <string>
#include <utility>

#include "host/option_source.h"
#include "host/script_value.h"

namespace zanhost::cli {

Variant ScriptValueFromText(const std::string &text);

// "KEY=VALUE" as a transition option; a UsageError without '=' or key.
std::pair<std::u16string, Variant> ParseOption(const std::string &keyValue);

// UTF-8 to UTF-16; a malformed byte becomes U+FFFD.
std::u16string Utf8ToUtf16(const std::string &text);

// The options as "key=value" words joined by spaces, for captions.
std::string DescribeOptions(const OptionList &options);

}  // namespace zanhost::cli
