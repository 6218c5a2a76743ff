#include "host/option_source.h"

#include "host/utf16_text.h"

namespace zanhost {
namespace {

constexpr orn_int kAbsent = -1;

void Refuse(OptionUse &use, const char *wanted) {
  use.refused = true;
  use.wanted = wanted;
}

}  // namespace

std::ptrdiff_t OptionSource::Find(const orn_char *name) {
  if (name == nullptr) {
    return -1;
  }
  for (size_t i = 0; i < options_.size(); ++i) {
    if (options_[i].first == TextView(name)) {
      ++uses_[i].reads;
      return static_cast<std::ptrdiff_t>(i);
    }
  }
  return -1;
}

orn_int OptionSource::GetNumber(const orn_char *name, tOVInteger *value) {
  const std::ptrdiff_t index = Find(name);
  if (index < 0 || value == nullptr) {
    return kAbsent;
  }
  const Variant &option = options_[static_cast<size_t>(index)].second;
  OptionUse &use = uses_[static_cast<size_t>(index)];
  if (option.Type() != kVariantInteger && option.Type() != kVariantReal) {
    Refuse(use, "a number");
    return kAbsent;
  }
  *value = option.AsInteger();
  use.truncated = use.truncated || static_cast<tOVReal>(*value) != option.AsReal();
  return 0;
}

orn_int OptionSource::GetString(const orn_char *name, const orn_char **value) {
  const std::ptrdiff_t index = Find(name);
  if (index < 0 || value == nullptr) {
    return kAbsent;
  }
  const Variant &option = options_[static_cast<size_t>(index)].second;
  if (option.Type() != kVariantString) {
    Refuse(uses_[static_cast<size_t>(index)], "text");
    return kAbsent;
  }
  *value = StringIn(*option.Raw())->c_str();
  return 0;
}

orn_int OptionSource::GetValue(const orn_char *name, tORNVariant *value) {
  const std::ptrdiff_t index = Find(name);
  if (index < 0 || value == nullptr) {
    return kAbsent;
  }
  VariantAssign(value, *options_[static_cast<size_t>(index)].second.Raw());
  return 0;
}

}  // namespace zanhost
