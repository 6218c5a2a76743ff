#include "host/option_source.h"

#include "host/utf16_text.h"

namespace zanhost {
namespace {

constexpr orn_int kAbsent = -1;

}  // namespace

const Variant *OptionSource::Find(const orn_char *name) const {
  if (name == nullptr) {
    return nullptr;
  }
  for (const auto &option : options_) {
    if (option.first == TextView(name)) {
      return &option.second;
    }
  }
  return nullptr;
}

orn_int OptionSource::GetNumber(const orn_char *name, tOVInteger *value) {
  const Variant *option = Find(name);
  if (option == nullptr || value == nullptr ||
      (option->Type() != kVariantInteger && option->Type() != kVariantReal)) {
    return kAbsent;
  }
  *value = option->AsInteger();
  return 0;
}

orn_int OptionSource::GetString(const orn_char *name, const orn_char **value) {
  const Variant *option = Find(name);
  if (option == nullptr || value == nullptr || option->Type() != kVariantString) {
    return kAbsent;
  }
  *value = StringIn(*option->Raw())->c_str();
  return 0;
}

orn_int OptionSource::GetValue(const orn_char *name, tORNVariant *value) {
  const Variant *option = Find(name);
  if (option == nullptr || value == nullptr) {
    return kAbsent;
  }
  VariantAssign(value, *option->Raw());
  return 0;
}

}  // namespace zanhost
