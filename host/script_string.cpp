#include "host/script_string.h"

#include <algorithm>
#include <utility>

#include "host/utf16_text.h"

namespace zanhost {
namespace {

StringObject *ObjectOf(const tORNString &string) {
  return static_cast<StringObject *>(string.handle);
}

}  // namespace

const std::u16string &StringText(const tORNString &string) {
  static const std::u16string empty;
  const StringObject *object = ObjectOf(string);
  return object != nullptr ? object->Text() : empty;
}

tORNString MakeString(std::u16string text) {
  return tORNString{new StringObject(std::move(text))};
}

std::u16string DecimalText(orn_int value) {
  // Works on the magnitude as unsigned so INT32_MIN needs no special case.
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  std::u16string digits;
  do {
    digits.push_back(static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) {
    digits.push_back(u'-');
  }
  std::reverse(digits.begin(), digits.end());
  return digits;
}

ScriptString::~ScriptString() {
  StringDestruct(&raw_);
}

void StringFromText(tORNString *self, const orn_char *text) {
  *self = MakeString(std::u16string(TextView(text)));
}

void StringFromInt(tORNString *self, orn_int value) {
  *self = MakeString(DecimalText(value));
}

void StringCopy(tORNString *self, const tORNString &source) {
  if (StringObject *object = ObjectOf(source)) {
    object->Retain();
  }
  self->handle = source.handle;
}

void StringDestruct(tORNString *self) {
  if (StringObject *object = ObjectOf(*self)) {
    object->Drop();
  }
  self->handle = nullptr;
}

tORNString StringConcat(const tORNString *self, const tORNString &right) {
  return MakeString(StringText(*self) + StringText(right));
}

tORNString StringConcatText(const tORNString *self, const orn_char *right) {
  return MakeString(StringText(*self) + std::u16string(TextView(right)));
}

orn_char *ORN_int_to_str(orn_int value, orn_char *buffer) {
  const std::u16string text = DecimalText(value);
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = u'\0';
  return buffer;
}

}  // namespace zanhost
