// Script strings: immutable UTF-16 texts, reference counted. A tORNString's
// handle points at the host's StringObject (null reads as the empty text); a
// copy shares the object, so copies and variants holding a string cost one
// reference each.
#pragma once

#include <string>
#include <string_view>

#include "host/ref_counted.h"
#include "hostapi/types.h"

namespace zanhost {

class StringObject : public RefCounted {
 public:
  explicit StringObject(std::u16string text) : text_(std::move(text)) {}
  const std::u16string &Text() const { return text_; }

 private:
  std::u16string text_;
};

// The text of a string storage; a null handle gives the empty text.
const std::u16string &StringText(const tORNString &string);

// A new string storage holding one reference on a new object.
tORNString MakeString(std::u16string text);

// The decimal text of a number, INT32_MIN included.
std::u16string DecimalText(orn_int value);

// Owns one string storage, for C++ code and tests.
class ScriptString {
 public:
  explicit ScriptString(std::u16string text) : raw_(MakeString(std::move(text))) {}
  ScriptString(const ScriptString &) = delete;
  ScriptString &operator=(const ScriptString &) = delete;
  ~ScriptString();
  const tORNString &Raw() const { return raw_; }
  const std::u16string &Text() const { return StringText(raw_); }

 private:
  tORNString raw_;
};

// Host functions (see hostapi/host_functions.h). A null text reads as empty.
void StringFromText(tORNString *self, const orn_char *text);
void StringFromInt(tORNString *self, orn_int value);
void StringCopy(tORNString *self, const tORNString &source);
void StringDestruct(tORNString *self);
tORNString StringConcat(const tORNString *self, const tORNString &right);
tORNString StringConcatText(const tORNString *self, const orn_char *right);
// Writes at most 12 code units including the terminator.
orn_char *ORN_int_to_str(orn_int value, orn_char *buffer);

}  // namespace zanhost
