#include "fuzz/hostile_values.h"

#include <cstring>
#include <limits>
#include <random>

#include "host/script_error.h"

namespace fxfuzz {

tOVInteger HostileInteger(FuzzedDataProvider &in, tOVInteger low, tOVInteger high) {
  constexpr tOVInteger kExtremes[] = {
      std::numeric_limits<tOVInteger>::min(),
      std::numeric_limits<tOVInteger>::max(),
      std::numeric_limits<int32_t>::min(),
      std::numeric_limits<int32_t>::max(),
      tOVInteger{1} << 31,
      (tOVInteger{1} << 32) + 1,  // low 32 bits: 1
      (tOVInteger{1} << 32) - 1,  // low 32 bits: -1
      -(tOVInteger{1} << 32),     // low 32 bits: 0
      0x40000000,
      -1,
  };
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0:
      return in.PickValueInArray(kExtremes);
    case 1:
      return in.ConsumeIntegral<tOVInteger>();
    default:
      return in.ConsumeIntegralInRange(low, high);
  }
}

double HostileReal(FuzzedDataProvider &in) {
  constexpr double kSpecial[] = {
      std::numeric_limits<double>::quiet_NaN(),
      std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::max(),
      std::numeric_limits<double>::lowest(),
      std::numeric_limits<double>::denorm_min(),
      -0.0,
      1e300,
      -1e18,
      9.3e18,
      0.5,
  };
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
      return in.PickValueInArray(kSpecial);
    case 1: {
      const uint64_t bits = in.ConsumeIntegral<uint64_t>();
      double value;
      std::memcpy(&value, &bits, sizeof value);
      return value;
    }
    default:
      return in.ConsumeFloatingPointInRange(-2000.0, 2000.0);
  }
}

zanhost::Variant HostileNumber(FuzzedDataProvider &in, tOVInteger low, tOVInteger high,
                               iORNDispatch2 *someObject) {
  static const std::u16string kTexts[] = {u"3",   u" 12 ", u"-1", u"2.5",  u"1e400",
                                          u"nan", u"abc",  u"",   u"0x10", u"99999999999999999999"};
  switch (in.ConsumeIntegralInRange(0, 15)) {
    case 0:
      return zanhost::Variant::Real(HostileReal(in));
    case 1:
      return zanhost::Variant::String(HostileText(in, kTexts, std::size(kTexts)));
    case 2:
      return zanhost::Variant();
    case 3:
      return zanhost::Variant::Object(someObject);
    default:
      return zanhost::Variant::Integer(HostileInteger(in, low, high));
  }
}

std::u16string HostileText(FuzzedDataProvider &in, const std::u16string *words, size_t count) {
  if (count > 0 && in.ConsumeIntegralInRange(0, 7) != 0) {
    return words[in.ConsumeIntegralInRange<size_t>(0, count - 1)];
  }
  std::u16string text;
  const size_t length = in.ConsumeIntegralInRange<size_t>(0, 12);
  for (size_t i = 0; i < length; ++i) {
    const auto unit = in.ConsumeIntegral<uint16_t>();
    text.push_back(unit != 0 ? static_cast<char16_t>(unit) : u'?');
  }
  return text;
}

int PictureSide(FuzzedDataProvider &in, int large) {
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0:
      return in.ConsumeIntegralInRange(0, large);
    case 1:
    case 2:
      return in.ConsumeIntegralInRange(0, 3);
    default:
      return in.ConsumeIntegralInRange(0, 24);
  }
}

int HostilePitch(FuzzedDataProvider &in, int width) {
  const int slackWords = in.ConsumeBool() ? in.ConsumeIntegralInRange(1, 5) : 0;
  const int rowBytes = (width + slackWords) * 4;
  // 0 (an empty packed row) asks the buffer for packed rows, as it should.
  return in.ConsumeBool() ? -rowBytes : rowBytes;
}

void FillPixels(FuzzedDataProvider &in, zanhost::PixelBuffer &picture) {
  std::mt19937 generator(in.ConsumeIntegral<uint32_t>());
  const int alphaStyle = in.ConsumeIntegralInRange(0, 3);
  for (int y = 0; y < picture.Height(); ++y) {
    uint32_t *row = picture.Row32(y);
    for (int x = 0; x < picture.Width(); ++x) {
      uint32_t pixel = in.remaining_bytes() >= 4 && in.ConsumeBool()
                           ? in.ConsumeIntegral<uint32_t>()
                           : static_cast<uint32_t>(generator());
      if (alphaStyle == 1) {
        pixel |= 0xFF000000u;
      } else if (alphaStyle == 2 && (generator() & 3) == 0) {
        pixel &= 0x00FFFFFFu;
      }
      row[x] = pixel;
    }
  }
}

bool ConvertsToInteger(const zanhost::Variant &value, tOVInteger *out, std::u16string *error) {
  try {
    *out = zanhost::VariantAsInteger(value.Raw());
    return true;
  } catch (const zanhost::ScriptError &raised) {
    *error = raised.Message();
    return false;
  }
}

bool ConvertsToReal(const zanhost::Variant &value, double *out, std::u16string *error) {
  try {
    *out = zanhost::VariantAsReal(value.Raw());
    return true;
  } catch (const zanhost::ScriptError &raised) {
    *error = raised.Message();
    return false;
  }
}

}  // namespace fxfuzz
