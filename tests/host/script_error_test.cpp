#include "host/script_error.h"

#include <gtest/gtest.h>

#include <string>

#include "host/script_string.h"
#include "host_fixture.h"

namespace zanhost {
namespace {

using ScriptErrorTest = HostTest;

template <class Raise>
std::u16string MessageOf(Raise raise) {
  try {
    raise();
  } catch (const ScriptError &error) {
    return error.Message();
  }
  ADD_FAILURE() << "nothing raised";
  return u"";
}

TEST_F(ScriptErrorTest, MessageAloneIsKept) {
  EXPECT_EQ(MessageOf([] { ZANThrowExceptionMessage(u"invoking of Layer.left failed."); }),
            u"invoking of Layer.left failed.");
  EXPECT_EQ(MessageOf([] { ZANThrowExceptionMessage(nullptr); }), u"");
}

struct FormatCase {
  std::u16string message;
  std::u16string expected;
};

TEST_F(ScriptErrorTest, OneStringTakesThePlaceOfPercentOne) {
  const ScriptString rule(u"rule.png");
  const FormatCase cases[] = {
      {u"cannot load %1.", u"cannot load rule.png."},
      {u"%1 and %1", u"rule.png and rule.png"},
      {u"no placeholder", u"no placeholder 'rule.png'."},
      {u"100%", u"100% 'rule.png'."},
      {u"%2 stays", u"%2 stays 'rule.png'."},
  };
  for (const FormatCase &c : cases) {
    EXPECT_EQ(MessageOf([&] { ZANThrowExceptionMessageWithString(c.message.c_str(), rule.Raw()); }),
              c.expected);
  }
}

TEST_F(ScriptErrorTest, TwoStringsArePlacedOrListed) {
  const ScriptString first(u"10x30");
  const ScriptString second(u"%1");
  const FormatCase cases[] = {
      {u"layer size mismatch", u"layer size mismatch (10x30, %1)"},
      {u"%2 versus %1", u"%1 versus 10x30"},
      {u"only %2", u"only %1 (10x30)"},
  };
  for (const FormatCase &c : cases) {
    EXPECT_EQ(MessageOf([&] {
                ZANThrowExceptionMessageWithStrings(c.message.c_str(), first.Raw(), second.Raw());
              }),
              c.expected);
  }
  const ScriptString other(u"10x20");
  EXPECT_EQ(MessageOf([&] {
              ZANThrowExceptionMessageWithStrings(u"layer size mismatch", first.Raw(), other.Raw());
            }),
            u"layer size mismatch (10x30, 10x20)");
}

TEST_F(ScriptErrorTest, UnboundFunctionNamesTheKey) {
  try {
    ZANThrowPluginUnboundFunctionError(
        "void ::ZANAddBlend(orn_uint32 *,const orn_uint32 *,orn_int)");
    FAIL() << "nothing raised";
  } catch (const ScriptError &error) {
    EXPECT_STREQ(error.what(),
                 "host function not bound: void ::ZANAddBlend(orn_uint32 *,const orn_uint32 "
                 "*,orn_int)");
  }
}

TEST_F(ScriptErrorTest, WhatIsUtf8) {
  const ScriptError error(u"caf\u00e9 \U0001F600 \xD800");
  EXPECT_STREQ(error.what(), "caf\xC3\xA9 \xF0\x9F\x98\x80 \xEF\xBF\xBD");
}

}  // namespace
}  // namespace zanhost
