#include "host/script_value.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

#include "host/script_error.h"
#include "host/script_string.h"
#include "host/utf16_text.h"

namespace zanhost {
namespace {

uint64_t PayloadOf(const tORNVariant &variant) {
  uint64_t payload;
  std::memcpy(&payload, &variant.words[1], sizeof payload);
  return payload;
}

void Store(tORNVariant &variant, tORNVariantType type, uint64_t payload) {
  variant.words[0] = static_cast<orn_uint32>(type);
  std::memcpy(&variant.words[1], &payload, sizeof payload);
}

iORNDispatch2 *ObjectIn(const tORNVariant &variant) {
  return TypeOf(variant) == kVariantObject
             ? reinterpret_cast<iORNDispatch2 *>(static_cast<uintptr_t>(PayloadOf(variant)))
             : nullptr;
}

StringObject *StringObjectIn(const tORNVariant &variant) {
  return TypeOf(variant) == kVariantString
             ? reinterpret_cast<StringObject *>(static_cast<uintptr_t>(PayloadOf(variant)))
             : nullptr;
}

uint64_t PointerPayload(const void *pointer) {
  return reinterpret_cast<uintptr_t>(pointer);
}

void RetainValue(const tORNVariant &variant) {
  if (iORNDispatch2 *object = ObjectIn(variant)) {
    object->AddRef();
  } else if (StringObject *string = StringObjectIn(variant)) {
    string->Retain();
  }
}

void ReleaseValue(const tORNVariant &variant) {
  if (iORNDispatch2 *object = ObjectIn(variant)) {
    object->Release();
  } else if (StringObject *string = StringObjectIn(variant)) {
    string->Drop();
  }
}

// Replaces the value; the old one is released last, so a value that owns the
// new one (an object holding its own member) stays valid while it is copied.
void Replace(tORNVariant *self, tORNVariantType type, uint64_t payload) {
  const tORNVariant old = *self;
  Store(*self, type, payload);
  ReleaseValue(old);
}

uint64_t RealBits(tOVReal value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

tOVReal RealIn(const tORNVariant &variant) {
  const uint64_t bits = PayloadOf(variant);
  tOVReal value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

struct Number {
  bool isInteger;
  tOVInteger integer;
  tOVReal real;
};

[[noreturn]] void RaiseNotNumber(const tORNVariant &variant) {
  if (TypeOf(variant) == kVariantString) {
    RaiseScriptError(FormatMessage(u"the text \"%1\" is not a number", *StringIn(variant)));
  }
  RaiseScriptError(u"the value cannot be converted to a number");
}

std::optional<Number> ParseNumber(const std::u16string &text) {
  size_t first = text.find_first_not_of(u" \t");
  size_t last = text.find_last_not_of(u" \t");
  if (first == std::u16string::npos) {
    return std::nullopt;
  }
  std::string ascii;
  for (size_t i = first; i <= last; ++i) {
    if (text[i] > 0x7F) {
      return std::nullopt;
    }
    ascii.push_back(static_cast<char>(text[i]));
  }
  // from_chars takes no leading '+'.
  const char *begin = ascii.data() + (ascii[0] == '+' && ascii.size() > 1 ? 1 : 0);
  const char *end = ascii.data() + ascii.size();
  tOVInteger integer = 0;
  auto parsed = std::from_chars(begin, end, integer);
  if (parsed.ptr == end && parsed.ec == std::errc()) {
    return Number{true, integer, 0.0};
  }
  tOVReal real = 0.0;
  parsed = std::from_chars(begin, end, real);
  if (parsed.ptr == end &&
      (parsed.ec == std::errc() || parsed.ec == std::errc::result_out_of_range)) {
    return Number{false, 0, real};
  }
  return std::nullopt;
}

Number NumberIn(const tORNVariant &variant) {
  switch (TypeOf(variant)) {
    case kVariantEmpty:
      return Number{true, 0, 0.0};
    case kVariantInteger:
      return Number{true, static_cast<tOVInteger>(PayloadOf(variant)), 0.0};
    case kVariantReal:
      return Number{false, 0, RealIn(variant)};
    case kVariantString:
      if (auto number = ParseNumber(*StringIn(variant))) {
        return *number;
      }
      break;
    default:
      break;
  }
  RaiseNotNumber(variant);
}

template <class Target>
Target TruncateReal(tOVReal value) {
  if (std::isnan(value)) {
    return 0;
  }
  // Both limits are powers of two, so the comparisons are exact.
  constexpr tOVReal kLowest = static_cast<tOVReal>(std::numeric_limits<Target>::min());
  if (value < kLowest) {
    return std::numeric_limits<Target>::min();
  }
  if (value >= -kLowest) {
    return std::numeric_limits<Target>::max();
  }
  return static_cast<Target>(value);
}

}  // namespace

void VariantConstruct(tORNVariant *self) {
  Store(*self, kVariantEmpty, 0);
}

void VariantConstructObject(tORNVariant *self, iORNDispatch2 *object) {
  if (object != nullptr) {
    object->AddRef();
  }
  Store(*self, kVariantObject, PointerPayload(object));
}

void VariantDestruct(tORNVariant *self) {
  Replace(self, kVariantEmpty, 0);
}

tORNVariant &VariantAssign(tORNVariant *self, const tORNVariant &source) {
  if (self != &source) {
    RetainValue(source);
    Replace(self, TypeOf(source), PayloadOf(source));
  }
  return *self;
}

tORNVariant &VariantAssignInteger(tORNVariant *self, const tOVInteger value) {
  Replace(self, kVariantInteger, static_cast<uint64_t>(value));
  return *self;
}

void VariantCopyRef(tORNVariant *self, const tORNVariant &source) {
  VariantAssign(self, source);
}

tORNVariantType VariantType(tORNVariant *self) {
  return TypeOf(*self);
}

orn_int VariantToInt(const tORNVariant *self) {
  const Number number = NumberIn(*self);
  return number.isInteger ? static_cast<orn_int>(static_cast<uint32_t>(number.integer))
                          : TruncateReal<orn_int>(number.real);
}

tOVInteger VariantToInteger(const tORNVariant *self) {
  const Number number = NumberIn(*self);
  return number.isInteger ? number.integer : TruncateReal<tOVInteger>(number.real);
}

tOVReal VariantToReal(const tORNVariant *self) {
  const Number number = NumberIn(*self);
  return number.isInteger ? static_cast<tOVReal>(number.integer) : number.real;
}

tOVInteger VariantAsInteger(const tORNVariant *self) {
  return VariantToInteger(self);
}

tOVReal VariantAsReal(const tORNVariant *self) {
  return VariantToReal(self);
}

iORNDispatch2 *VariantToObject(tORNVariant *self) {
  return ObjectIn(*self);
}

iORNDispatch2 *VariantAsObjectNoAddRef(const tORNVariant *self) {
  return ObjectIn(*self);
}

void VariantAssignReal(tORNVariant *self, tOVReal value) {
  Replace(self, kVariantReal, RealBits(value));
}

void VariantAssignText(tORNVariant *self, std::u16string text) {
  Replace(self, kVariantString, PointerPayload(new StringObject(std::move(text))));
}

tORNVariantType TypeOf(const tORNVariant &variant) {
  return static_cast<tORNVariantType>(variant.words[0]);
}

const std::u16string *StringIn(const tORNVariant &variant) {
  const StringObject *string = StringObjectIn(variant);
  return string != nullptr ? &string->Text() : nullptr;
}

std::u16string VariantToText(const tORNVariant &variant) {
  switch (TypeOf(variant)) {
    case kVariantEmpty:
      return u"";
    case kVariantString:
      return *StringIn(variant);
    case kVariantInteger: {
      char digits[24];
      const auto result = std::to_chars(digits, digits + sizeof digits,
                                        static_cast<tOVInteger>(PayloadOf(variant)));
      return WidenBytes(std::string_view(digits, static_cast<size_t>(result.ptr - digits)));
    }
    case kVariantReal: {
      char digits[32];
      const auto result = std::to_chars(digits, digits + sizeof digits, RealIn(variant));
      return WidenBytes(std::string_view(digits, static_cast<size_t>(result.ptr - digits)));
    }
    default:
      RaiseScriptError(u"the value cannot be converted to text");
  }
}

Variant::Variant() {
  VariantConstruct(&raw_);
}

Variant Variant::Integer(tOVInteger value) {
  Variant variant;
  VariantAssignInteger(variant.Raw(), value);
  return variant;
}

Variant Variant::Real(tOVReal value) {
  Variant variant;
  VariantAssignReal(variant.Raw(), value);
  return variant;
}

Variant Variant::String(std::u16string text) {
  Variant variant;
  VariantAssignText(variant.Raw(), std::move(text));
  return variant;
}

Variant Variant::Object(iORNDispatch2 *object) {
  Variant variant;
  VariantConstructObject(variant.Raw(), object);
  return variant;
}

Variant::Variant(const Variant &other) : Variant() {
  VariantAssign(&raw_, other.raw_);
}

Variant &Variant::operator=(const Variant &other) {
  VariantAssign(&raw_, other.raw_);
  return *this;
}

Variant::~Variant() {
  VariantDestruct(&raw_);
}

}  // namespace zanhost
