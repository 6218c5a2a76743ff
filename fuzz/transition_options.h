// Hostile option sets for the three transitions: every option they read, each
// missing, empty, of a wrong type, a wrong text or an extreme number.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include "host/option_source.h"

namespace fxfuzz {

// `someObject` stands for an option given an object.
zanhost::OptionList HostileOptions(FuzzedDataProvider &in, iORNDispatch2 *someObject);

// The option's value, or null when the list lacks it.
const zanhost::Variant *FindOption(const zanhost::OptionList &options, std::u16string_view name);

}  // namespace fxfuzz
