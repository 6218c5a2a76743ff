#include "host/script_error.h"

#include <utility>
#include <vector>

#include "host/script_string.h"
#include "host/utf16_text.h"

namespace zanhost {
namespace {

std::u16string Substitute(std::u16string_view message,
                          const std::vector<std::u16string_view> &inserts) {
  std::u16string out;
  std::vector<bool> placed(inserts.size(), false);
  for (size_t i = 0; i < message.size(); ++i) {
    if (message[i] == u'%' && i + 1 < message.size()) {
      const size_t index = static_cast<size_t>(message[i + 1] - u'1');
      if (message[i + 1] >= u'1' && index < inserts.size()) {
        out += inserts[index];
        placed[index] = true;
        ++i;
        continue;
      }
    }
    out.push_back(message[i]);
  }
  std::u16string unplaced;
  for (size_t index = 0; index < inserts.size(); ++index) {
    if (!placed[index]) {
      unplaced += unplaced.empty() ? u"" : u", ";
      unplaced += inserts[index];
    }
  }
  if (inserts.size() == 1 && !placed[0]) {
    out += u" '" + unplaced + u"'.";
  } else if (!unplaced.empty()) {
    out += u" (" + unplaced + u")";
  }
  return out;
}

}  // namespace

ScriptError::ScriptError(std::u16string message)
    : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

void RaiseScriptError(std::u16string message) {
  throw ScriptError(std::move(message));
}

std::u16string FormatMessage(std::u16string_view message, std::u16string_view first) {
  return Substitute(message, {first});
}

std::u16string FormatMessage(std::u16string_view message, std::u16string_view first,
                             std::u16string_view second) {
  return Substitute(message, {first, second});
}

void ZANThrowExceptionMessage(const orn_char *message) {
  RaiseScriptError(std::u16string(TextView(message)));
}

void ZANThrowExceptionMessageWithString(const orn_char *message, const ornstr &text) {
  RaiseScriptError(FormatMessage(TextView(message), StringText(text)));
}

void ZANThrowExceptionMessageWithStrings(const orn_char *message, const ornstr &first,
                                         const ornstr &second) {
  RaiseScriptError(FormatMessage(TextView(message), StringText(first), StringText(second)));
}

void ZANThrowPluginUnboundFunctionError(const char *missingKey) {
  RaiseScriptError(u"host function not bound: " +
                   WidenBytes(missingKey != nullptr ? missingKey : ""));
}

}  // namespace zanhost
