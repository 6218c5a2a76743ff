// The options a script gave to one started transition, as name/value pairs.
// Counted (one reference for the creator).
//
// GetNumber answers integers and reals (truncated, see script_value.h) and is
// negative for an absent name or any other type; GetString answers string
// values only, the text staying owned here; GetValue copies any value into the
// caller's constructed variant. Null arguments give a negative status.
//
// Each option records how the transition read it (Uses), so that a host can
// tell a user about options never read or not taken as given.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/ref_counted.h"
#include "host/script_value.h"
#include "hostapi/transition.h"

namespace zanhost {

using OptionList = std::vector<std::pair<std::u16string, Variant>>;

// How the reads of one option went.
struct OptionUse {
  int reads = 0;
  // A read asked for another type (a number given as text, text given as a
  // number): that read got nothing.
  bool refused = false;
  // GetNumber took a real with a fraction as its truncated whole number.
  bool truncated = false;
  // What the refused read asked for: "a number" or "text".
  const char *wanted = "";
};

class OptionSource : public iZANOptionSource, public RefCounted {
 public:
  static OptionSource *Create(OptionList options) { return new OptionSource(std::move(options)); }

  orn_int AddRef() override { return Retain(); }
  orn_int Release() override { return Drop(); }
  orn_int GetNumber(const orn_char *name, tOVInteger *value) override;
  orn_int GetString(const orn_char *name, const orn_char **value) override;
  orn_int GetValue(const orn_char *name, tORNVariant *value) override;

  const OptionList &Options() const { return options_; }
  // One per option, in the order of Options().
  const std::vector<OptionUse> &Uses() const { return uses_; }

 private:
  explicit OptionSource(OptionList options)
      : options_(std::move(options)), uses_(options_.size()) {}
  // The option's index, or -1; counts the read.
  std::ptrdiff_t Find(const orn_char *name);

  OptionList options_;
  std::vector<OptionUse> uses_;
};

}  // namespace zanhost
