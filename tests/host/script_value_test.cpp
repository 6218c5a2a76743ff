#include "host/script_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>

#include "host/game_object.h"
#include "host/host_ref.h"
#include "host/script_error.h"
#include "host/script_string.h"
#include "host/variant_operation.h"
#include "host_fixture.h"

namespace zanhost {
namespace {

using ScriptValueTest = HostTest;

constexpr tOVInteger kInt64Max = std::numeric_limits<tOVInteger>::max();
constexpr tOVInteger kInt64Min = std::numeric_limits<tOVInteger>::min();
constexpr orn_int kInt32Max = std::numeric_limits<orn_int>::max();
constexpr orn_int kInt32Min = std::numeric_limits<orn_int>::min();

struct ConversionCase {
  const char *label;
  std::function<Variant()> make;
  orn_int asInt;
  tOVInteger asInteger;
  tOVReal asReal;
};

TEST_F(ScriptValueTest, NumberConversionsTruncateAndSaturate) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const ConversionCase cases[] = {
      {"empty", [] { return Variant(); }, 0, 0, 0.0},
      {"integer", [] { return Variant::Integer(-7); }, -7, -7, -7.0},
      {"integer keeps low 32 bits", [] { return Variant::Integer(0x100000005); }, 5, 0x100000005,
       4294967301.0},
      {"real toward zero", [] { return Variant::Real(-2.9); }, -2, -2, -2.9},
      {"NaN", [nan] { return Variant::Real(nan); }, 0, 0, nan},
      {"infinity", [inf] { return Variant::Real(inf); }, kInt32Max, kInt64Max, inf},
      {"huge negative", [] { return Variant::Real(-1e300); }, kInt32Min, kInt64Min, -1e300},
      {"just below 2^31", [] { return Variant::Real(2147483647.9); }, kInt32Max, 2147483647,
       2147483647.9},
      {"text integer", [] { return Variant::String(u" -42 "); }, -42, -42, -42.0},
      {"text with plus", [] { return Variant::String(u"+8"); }, 8, 8, 8.0},
      {"text real", [] { return Variant::String(u"2.75"); }, 2, 2, 2.75},
  };
  for (const ConversionCase &c : cases) {
    SCOPED_TRACE(c.label);
    const Variant value = c.make();
    EXPECT_EQ(value.AsInt(), c.asInt);
    EXPECT_EQ(value.AsInteger(), c.asInteger);
    EXPECT_EQ(VariantAsInteger(value.Raw()), c.asInteger);
    if (std::isnan(c.asReal)) {
      EXPECT_TRUE(std::isnan(value.AsReal()));
    } else {
      EXPECT_EQ(value.AsReal(), c.asReal);
      EXPECT_EQ(VariantAsReal(value.Raw()), c.asReal);
    }
  }
}

TEST_F(ScriptValueTest, NonsenseConversionsRaise) {
  const Ref<GameObject> object = Ref<GameObject>::Adopt(GameObject::Create(1, 1));
  const Variant values[] = {Variant::Object(object.get()), Variant::String(u"12abc"),
                            Variant::String(u"")};
  for (const Variant &value : values) {
    EXPECT_THROW(value.AsInt(), ScriptError);
    EXPECT_THROW(value.AsInteger(), ScriptError);
    EXPECT_THROW(value.AsReal(), ScriptError);
  }
  try {
    Variant::String(u"x1").AsInt();
    FAIL() << "no raise";
  } catch (const ScriptError &error) {
    EXPECT_EQ(error.Message(), u"the text \"x1\" is not a number");
  }
}

TEST_F(ScriptValueTest, ObjectVariantHoldsItsOwnReference) {
  GameObject *object = GameObject::Create(1, 1);
  {
    tORNVariant raw;
    VariantConstructObject(&raw, object);
    EXPECT_EQ(object->RefCount(), 2);
    EXPECT_EQ(VariantType(&raw), kVariantObject);
    EXPECT_EQ(VariantAsObjectNoAddRef(&raw), object);
    EXPECT_EQ(VariantToObject(&raw), object);
    tORNVariant copy;
    VariantConstruct(&copy);
    VariantAssign(&copy, raw);
    EXPECT_EQ(object->RefCount(), 3);
    VariantAssign(&copy, copy);
    EXPECT_EQ(object->RefCount(), 3);
    VariantAssignInteger(&copy, 1);
    EXPECT_EQ(object->RefCount(), 2);
    VariantCopyRef(&copy, raw);
    EXPECT_EQ(object->RefCount(), 3);
    VariantDestruct(&copy);
    VariantDestruct(&raw);
  }
  EXPECT_EQ(object->Release(), 0u);
}

TEST_F(ScriptValueTest, NonObjectsGiveNullObject) {
  Variant integer = Variant::Integer(3);
  EXPECT_EQ(VariantAsObjectNoAddRef(integer.Raw()), nullptr);
  EXPECT_EQ(VariantToObject(integer.Raw()), nullptr);
  tORNVariant null;
  VariantConstructObject(&null, nullptr);
  EXPECT_EQ(VariantType(&null), kVariantObject);
  EXPECT_EQ(VariantAsObjectNoAddRef(&null), nullptr);
  VariantDestruct(&null);
}

TEST_F(ScriptValueTest, StringCopiesShareOneCountedText) {
  tORNString text;
  StringFromText(&text, u"abc");
  tORNString copy;
  StringCopy(&copy, text);
  EXPECT_EQ(copy.handle, text.handle);
  EXPECT_EQ(static_cast<StringObject *>(text.handle)->RefCount(), 2);
  tORNString number;
  StringFromInt(&number, kInt32Min);
  tORNString joined = StringConcat(&copy, number);
  tORNString withText = StringConcatText(&joined, u"x");
  EXPECT_EQ(StringText(withText), u"abc-2147483648x");
  EXPECT_EQ(StringText(text), u"abc");
  for (tORNString *string : {&text, &copy, &number, &joined, &withText}) {
    StringDestruct(string);
    EXPECT_EQ(string->handle, nullptr);
  }
  StringFromText(&text, nullptr);
  EXPECT_EQ(StringText(text), u"");
  StringDestruct(&text);
}

TEST_F(ScriptValueTest, IntToStrWritesExtremes) {
  orn_char buffer[34];
  EXPECT_EQ(std::u16string(ORN_int_to_str(kInt32Min, buffer)), u"-2147483648");
  EXPECT_EQ(std::u16string(ORN_int_to_str(0, buffer)), u"0");
  EXPECT_EQ(std::u16string(ORN_int_to_str(7301, buffer)), u"7301");
}

struct OperationCase {
  orn_int code;
  std::function<Variant()> target;
  std::function<Variant()> operand;
  tORNVariantType type;
  std::u16string text;  // the result as text
};

TEST_F(ScriptValueTest, OperationsFollowTheirCodes) {
  auto i = [](tOVInteger v) { return [v] { return Variant::Integer(v); }; };
  auto r = [](tOVReal v) { return [v] { return Variant::Real(v); }; };
  auto s = [](std::u16string v) { return [v] { return Variant::String(v); }; };
  const OperationCase cases[] = {
      {1, i(1), s(u"new"), kVariantString, u"new"},
      {2, i(kInt64Max), i(1), kVariantInteger, u"-9223372036854775808"},
      {2, i(1), r(0.5), kVariantReal, u"1.5"},
      {3, i(3), i(5), kVariantInteger, u"-2"},
      {4, i(-4), i(6), kVariantInteger, u"-24"},
      {5, i(-7), i(2), kVariantInteger, u"-3"},
      {5, i(kInt64Min), i(-1), kVariantInteger, u"-9223372036854775808"},
      {5, r(1), i(4), kVariantReal, u"0.25"},
      {6, i(-7), i(3), kVariantInteger, u"-1"},
      {6, i(kInt64Min), i(-1), kVariantInteger, u"0"},
      {7, i(0b1100), i(0b1010), kVariantInteger, u"8"},
      {8, i(0b1100), i(0b1010), kVariantInteger, u"14"},
      {9, i(0b1100), i(0b1010), kVariantInteger, u"6"},
      {10, i(1), i(65), kVariantInteger, u"2"},
      {11, i(-16), i(2), kVariantInteger, u"-4"},
      {12, s(u"n="), i(5), kVariantString, u"n=5"},
      {12, r(0.1), s(u"!"), kVariantString, u"0.1!"},
      {13, i(2), s(u""), kVariantInteger, u"0"},
      {14, i(0), s(u"x"), kVariantInteger, u"1"},
  };
  for (const OperationCase &c : cases) {
    SCOPED_TRACE(c.code);
    Variant target = c.target();
    const Variant operand = c.operand();
    ORNDoVariantOperation(c.code, *target.Raw(), operand.Raw());
    EXPECT_EQ(target.Type(), c.type);
    EXPECT_EQ(target.AsText(), c.text);
  }
}

TEST_F(ScriptValueTest, StepsNeedNoOperand) {
  Variant counter = Variant::Integer(9);
  ORNDoVariantOperation(15, *counter.Raw(), nullptr);
  EXPECT_EQ(counter.AsInteger(), 10);
  Variant real = Variant::Real(0.5);
  ORNDoVariantOperation(16, *real.Raw(), nullptr);
  EXPECT_EQ(real.AsReal(), -0.5);
}

TEST_F(ScriptValueTest, BadOperationsRaiseAndKeepTheTarget) {
  const Variant zero = Variant::Integer(0);
  const Variant realZero = Variant::Real(0.0);
  Variant target = Variant::Integer(12);
  EXPECT_THROW(ORNDoVariantOperation(5, *target.Raw(), zero.Raw()), ScriptError);
  EXPECT_THROW(ORNDoVariantOperation(5, *target.Raw(), realZero.Raw()), ScriptError);
  EXPECT_THROW(ORNDoVariantOperation(6, *target.Raw(), zero.Raw()), ScriptError);
  EXPECT_THROW(ORNDoVariantOperation(3, *target.Raw(), nullptr), ScriptError);
  EXPECT_THROW(ORNDoVariantOperation(0, *target.Raw(), zero.Raw()), ScriptError);
  EXPECT_THROW(ORNDoVariantOperation(17, *target.Raw(), zero.Raw()), ScriptError);
  EXPECT_EQ(target.AsInteger(), 12);
}

}  // namespace
}  // namespace zanhost
