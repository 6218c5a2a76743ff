// The options a script gave to one started transition, as name/value pairs.
// Counted (one reference for the creator).
//
// GetNumber answers integers and reals (truncated, see script_value.h) and is
// negative for an absent name or any other type; GetString answers string
// values only, the text staying owned here; GetValue copies any value into the
// caller's constructed variant. Null arguments give a negative status.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/ref_counted.h"
#include "host/script_value.h"
#include "hostapi/transition.h"

namespace zanhost {

using OptionList = std::vector<std::pair<std::u16string, Variant>>;

class OptionSource : public iZANOptionSource, public RefCounted {
 public:
  static OptionSource *Create(OptionList options) { return new OptionSource(std::move(options)); }

  orn_int AddRef() override { return Retain(); }
  orn_int Release() override { return Drop(); }
  orn_int GetNumber(const orn_char *name, tOVInteger *value) override;
  orn_int GetString(const orn_char *name, const orn_char **value) override;
  orn_int GetValue(const orn_char *name, tORNVariant *value) override;

 private:
  explicit OptionSource(OptionList options) : options_(std::move(options)) {}
  const Variant *Find(const orn_char *name) const;

  OptionList options_;
};

}  // namespace zanhost
