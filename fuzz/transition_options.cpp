#include "fuzz/transition_options.h"

#include <iterator>

#include "fuzz/hostile_values.h"

namespace fxfuzz {
namespace {

using zanhost::Variant;

const std::u16string kTexts[] = {
    u"in",         u"out",        u"In",         u"OUT",       u"",           u"grey",
    u"flat",       u"missing",    u"fore_light", u"fore_dark", u"back_light", u"back_dark",
    u"Fore_light", u"back_dark ", u"12",         u"%1",
};

// A text from the words the options are compared with, or any text.
Variant TextOption(FuzzedDataProvider &in) {
  return Variant::String(HostileText(in, kTexts, std::size(kTexts)));
}

struct tOptionRange {
  const char16_t *name;
  tOVInteger low;  // numbers are mostly drawn from low..high
  tOVInteger high;
  bool text;  // the option is a text
};

constexpr tOptionRange kOptions[] = {
    {u"time", -2, 1000, false},
    {u"vague", -600, 700, false},
    {u"blur", -2, 40, false},
    {u"add", 0, 0, true},
    {u"rule", 0, 0, true},
    {u"maxh", -10, 100, false},
    {u"maxomega", -1, 1, false},
    {u"bgcolor1", 0, 0xFFFFFF, false},
    {u"bgcolor2", 0, 0xFFFFFF, false},
    {u"testtype", -1, 3, false},
    {u"unknown", 0, 9, false},
};

}  // namespace

zanhost::OptionList HostileOptions(FuzzedDataProvider &in, iORNDispatch2 *someObject) {
  zanhost::OptionList options;
  for (const tOptionRange &option : kOptions) {
    switch (in.ConsumeIntegralInRange(0, 15)) {
      case 0:
        break;  // missing
      case 1:
        options.emplace_back(option.name, Variant());
        break;
      case 2:
        options.emplace_back(option.name,
                             option.text ? HostileNumber(in, 0, 9, someObject) : TextOption(in));
        break;
      default:
        options.emplace_back(
            option.name,
            option.text ? TextOption(in) : HostileNumber(in, option.low, option.high, someObject));
    }
  }
  return options;
}

const zanhost::Variant *FindOption(const zanhost::OptionList &options, std::u16string_view name) {
  for (const auto &option : options) {
    if (option.first == name) {
      return &option.second;
    }
  }
  return nullptr;
}

}  // namespace fxfuzz
