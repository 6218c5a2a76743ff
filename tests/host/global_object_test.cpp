#include "host/global_object.h"

#include <gtest/gtest.h>

#include "host/environment.h"
#include "host/game_object.h"
#include "host/host_ref.h"
#include "host/script_object.h"
#include "host/script_value.h"
#include "host_fixture.h"

namespace zanhost {
namespace {

using GlobalObjectTest = HostTest;

// A global function that records its call and answers with its own status.
class RecordingFunction : public ScriptObject {
 public:
  static RecordingFunction *Create(orn_int answer) { return new RecordingFunction(answer); }
  orn_int CallMember(orn_uint32, const orn_char *name, orn_uint32 *, tORNVariant *result,
                     orn_int count, tORNVariant **params, iORNDispatch2 *) override {
    calledWithNullName = name == nullptr;
    argumentCount = count;
    firstArgument = count > 0 ? VariantToInt(params[0]) : 0;
    if (result != nullptr) {
      VariantAssignInteger(result, 99);
    }
    return answer_;
  }
  bool calledWithNullName = false;
  orn_int argumentCount = -1;
  orn_int firstArgument = 0;

 private:
  explicit RecordingFunction(orn_int answer) : answer_(answer) {}
  orn_int answer_;
};

TEST_F(GlobalObjectTest, SetMemberCreatesOnlyWithTheFlag) {
  GlobalObject &global = env_.Global();
  const Variant five = Variant::Integer(5);
  EXPECT_EQ(global.SetMember(0, u"x", nullptr, five.Raw(), &global), ResultNoSuchMember);
  EXPECT_FALSE(global.Has(u"x"));
  EXPECT_EQ(global.SetMember(FlagCreateMember, u"x", nullptr, five.Raw(), &global), 0);
  const Variant six = Variant::Integer(6);
  EXPECT_EQ(global.SetMember(0, u"x", nullptr, six.Raw(), &global), 0);
  Variant read;
  EXPECT_EQ(global.GetMember(0, u"x", nullptr, read.Raw(), &global), 0);
  EXPECT_EQ(read.AsInteger(), 6);
  EXPECT_EQ(global.SetMember(FlagCreateMember, nullptr, nullptr, six.Raw(), &global),
            ResultNotSupported);
  EXPECT_EQ(global.SetMember(FlagCreateMember, u"y", nullptr, nullptr, &global), ResultBadArgument);
  EXPECT_EQ(global.DeleteMember(0, u"x", nullptr, &global), 0);
  EXPECT_EQ(global.DeleteMember(0, u"x", nullptr, &global), ResultNoSuchMember);
  EXPECT_EQ(global.GetMember(0, u"x", nullptr, read.Raw(), &global), ResultNoSuchMember);
}

TEST_F(GlobalObjectTest, MembersHoldAndDropTheirReference) {
  GlobalObject &global = env_.Global();
  const size_t before = global.MemberCount();
  RecordingFunction *function = RecordingFunction::Create(0);
  {
    const Variant value = Variant::Object(function);
    global.SetMember(FlagCreateMember, u"f", nullptr, value.Raw(), &global);
  }
  EXPECT_EQ(function->RefCount(), 2);
  EXPECT_EQ(global.MemberCount(), before + 1);
  global.DeleteMember(0, u"f", nullptr, &global);
  EXPECT_EQ(function->RefCount(), 1);
  EXPECT_EQ(function->Release(), 0u);
}

TEST_F(GlobalObjectTest, CallingAMemberCallsItsObjectWithNullName) {
  GlobalObject &global = env_.Global();
  const Ref<RecordingFunction> function =
      Ref<RecordingFunction>::Adopt(RecordingFunction::Create(7));
  const Variant value = Variant::Object(function.get());
  global.SetMember(FlagCreateMember, u"f", nullptr, value.Raw(), &global);
  Variant argument = Variant::Integer(41);
  tORNVariant *params[] = {argument.Raw()};
  Variant result;
  EXPECT_EQ(global.CallMember(0, u"f", nullptr, result.Raw(), 1, params, &global), 7);
  EXPECT_TRUE(function->calledWithNullName);
  EXPECT_EQ(function->argumentCount, 1);
  EXPECT_EQ(function->firstArgument, 41);
  EXPECT_EQ(result.AsInteger(), 99);
  EXPECT_EQ(global.CallMember(0, u"g", nullptr, nullptr, 0, nullptr, &global), ResultNoSuchMember);
  const Variant number = Variant::Integer(1);
  global.SetMember(FlagCreateMember, u"n", nullptr, number.Raw(), &global);
  EXPECT_EQ(global.CallMember(0, u"n", nullptr, nullptr, 0, nullptr, &global), ResultNotSupported);
  global.DeleteMember(0, u"f", nullptr, &global);
  global.DeleteMember(0, u"n", nullptr, &global);
}

TEST_F(GlobalObjectTest, ScriptDispatchComesWithAReferenceOrNull) {
  iORNDispatch2 *global = ZANGetScriptDispatch();
  ASSERT_EQ(global, &env_.Global());
  EXPECT_EQ(env_.Global().RefCount(), 2);
  EXPECT_EQ(global->Release(), 1u);
  env_.SetGlobalObjectAvailable(false);
  EXPECT_EQ(ZANGetScriptDispatch(), nullptr);
}

TEST_F(GlobalObjectTest, VelReportsItsInnerSizeOrFails) {
  Variant vel;
  ASSERT_EQ(env_.Global().GetMember(0, u"vel", nullptr, vel.Raw(), nullptr), 0);
  ASSERT_EQ(vel.AsObject(), &env_.Vel());
  env_.Vel().SetInnerSize(320, 200);
  Variant width;
  EXPECT_EQ(vel.AsObject()->GetMember(0, u"innerWidth", nullptr, width.Raw(), nullptr), 0);
  EXPECT_EQ(width.AsInt(), 320);
  env_.Vel().FailProperty(u"innerHeight");
  EXPECT_LT(vel.AsObject()->GetMember(0, u"innerHeight", nullptr, width.Raw(), nullptr), 0);
  EXPECT_EQ(vel.AsObject()->GetMember(0, u"other", nullptr, width.Raw(), nullptr),
            ResultNoSuchMember);
}

TEST_F(GlobalObjectTest, BaseDefaultsDependOnTheName) {
  iORNDispatch2 &vel = env_.Vel();
  EXPECT_EQ(vel.SetMember(0, u"x", nullptr, nullptr, nullptr), ResultNoSuchMember);
  EXPECT_EQ(vel.SetMember(0, nullptr, nullptr, nullptr, nullptr), ResultNotSupported);
  EXPECT_EQ(vel.CallMemberByNumber(0, 1, nullptr, 0, nullptr, nullptr), ResultNotSupported);
  EXPECT_EQ(vel.ObjectOperationE(nullptr, nullptr, nullptr), ResultNotSupported);
  EXPECT_EQ(vel.AddRef(), 3u);  // the environment's, the global object's member, this one
  EXPECT_EQ(vel.Release(), 2u);
}

TEST(EnvironmentTest, OnlyOneIsCurrentAtATime) {
  Environment first;
  EXPECT_THROW(Environment second, std::logic_error);
  EXPECT_EQ(&CurrentEnvironment(), &first);
}

}  // namespace
}  // namespace zanhost
