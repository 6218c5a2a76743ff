// The host's script exception and the raise functions the module calls. A raise
// never returns: it throws ScriptError, which unwinds through the module's frames
// to whoever drove the call (a test, the band driver's caller, the zanhost tool).
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "hostapi/types.h"

namespace zanhost {

class ScriptError : public std::exception {
 public:
  explicit ScriptError(std::u16string message);
  // The final text, placeholders already replaced.
  const std::u16string &Message() const noexcept { return message_; }
  const char *what() const noexcept override { return utf8_.c_str(); }

 private:
  std::u16string message_;
  std::string utf8_;
};

[[noreturn]] void RaiseScriptError(std::u16string message);

// Puts `first` where "%1" stands and `second` where "%2" stands, each wherever
// it occurs, in one pass (an inserted text is never scanned again). A lone
// insert without its placeholder is appended quoted: "specify option" with
// "time" gives "specify option 'time'.". Two inserts whose placeholders are
// absent are appended in parentheses, comma separated: "layer size mismatch"
// with "10x30" and "10x20" gives "layer size mismatch (10x30, 10x20)".
std::u16string FormatMessage(std::u16string_view message, std::u16string_view first);
std::u16string FormatMessage(std::u16string_view message, std::u16string_view first,
                             std::u16string_view second);

// Host functions (see hostapi/host_functions.h). A null message reads as empty.
[[noreturn]] void ZANThrowExceptionMessage(const orn_char *message);
[[noreturn]] void ZANThrowExceptionMessageWithString(const orn_char *message, const ornstr &text);
[[noreturn]] void ZANThrowExceptionMessageWithStrings(const orn_char *message, const ornstr &first,
                                                      const ornstr &second);
// Raises "host function not bound: KEY".
[[noreturn]] void ZANThrowPluginUnboundFunctionError(const char *missingKey);

}  // namespace zanhost
