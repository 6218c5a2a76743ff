// The script object base linked directly, over the reference host's functions:
// reference counts and the module-wide total, the default of every slot,
// forwarding by number, ModifyMember, and BeforeDestroy.
#include "frame/dispatch_base.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "frame/module_state.h"
#include "host/script_error.h"
#include "host/script_value.h"
#include "tests/host/host_fixture.h"

namespace {

using zanhost::Variant;

// Records what reaches the slots a derived object replaces, and its death.
class tProbe : public tORNDispatchBase {
 public:
  struct tCall {
    int count = 0;
    orn_uint32 flag = 0;
    std::u16string name;
    orn_uint32 *hint = nullptr;
    tORNVariant *result = nullptr;
    orn_int argumentCount = 0;
    tORNVariant **params = nullptr;
    iORNDispatch2 *objthis = nullptr;
  };

  // What outlives the probe.
  struct tLife {
    bool destroyed = false;
    int beforeDestroyCalls = 0;
  };

  explicit tProbe(tLife *life) : life_(life) {}
  ~tProbe() override { life_->destroyed = true; }

  orn_int CallMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, tORNVariant *result,
                     orn_int count, tORNVariant **params, iORNDispatch2 *objthis) override {
    Note(call, flag, name, hint, result, objthis);
    call.argumentCount = count;
    call.params = params;
    return 42;
  }
  // Answers with the member's value, or `getStatus` when that is negative.
  orn_int GetMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, tORNVariant *result,
                    iORNDispatch2 *objthis) override {
    Note(get, flag, name, hint, result, objthis);
    if (getStatus < 0) {
      return getStatus;
    }
    zanhost::VariantAssign(result, *member.Raw());
    return 0;
  }
  orn_int SetMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                    const tORNVariant *value, iORNDispatch2 *objthis) override {
    Note(set, flag, name, hint, nullptr, objthis);
    if (setStatus < 0) {
      return setStatus;
    }
    zanhost::VariantAssign(member.Raw(), *value);
    return 0;
  }
  void BeforeDestroy() override {
    ++life_->beforeDestroyCalls;
    if (keepAliveOnce) {
      keepAliveOnce = false;
      AddRef();
    }
  }

  tCall call, get, set;
  Variant member = Variant::Integer(10);
  orn_int getStatus = 0;
  orn_int setStatus = 0;
  bool keepAliveOnce = false;

 private:
  static void Note(tCall &record, orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                   tORNVariant *result, iORNDispatch2 *objthis) {
    ++record.count;
    record.flag = flag;
    record.name = name != nullptr ? name : u"<null>";
    record.hint = hint;
    record.result = result;
    record.objthis = objthis;
  }

  tLife *life_;
};

// A base object that only records SetMember calls.
class tSetRecorder : public tORNDispatchBase {
 public:
  orn_int SetMember(orn_uint32, const orn_char *, orn_uint32 *, const tORNVariant *,
                    iORNDispatch2 *) override {
    ++setCalls;
    return 0;
  }
  int setCalls = 0;
};

class DispatchBaseTest : public zanhost::HostTest {
 protected:
  void SetUp() override {
    functionLookup = &env_.Functions();
    totalAtStart_ = scriptObjectRefTotal;
  }
  orn_int TotalChange() const { return scriptObjectRefTotal - totalAtStart_; }

  tProbe::tLife life_;

 private:
  orn_int totalAtStart_ = 0;
};

TEST_F(DispatchBaseTest, ReferenceCountsMoveTheModuleTotal) {
  auto *object = new tProbe(&life_);
  EXPECT_EQ(TotalChange(), 1);
  EXPECT_EQ(object->AddRef(), 2u);
  EXPECT_EQ(object->AddRef(), 3u);
  EXPECT_EQ(TotalChange(), 3);
  auto *other = new tORNDispatchBase();
  EXPECT_EQ(TotalChange(), 4);  // references of all live objects
  EXPECT_EQ(object->Release(), 2u);
  EXPECT_EQ(object->Release(), 1u);
  EXPECT_EQ(TotalChange(), 2);
  EXPECT_FALSE(life_.destroyed);
  EXPECT_EQ(object->Release(), 0u);
  EXPECT_TRUE(life_.destroyed);
  EXPECT_EQ(life_.beforeDestroyCalls, 1);
  EXPECT_EQ(TotalChange(), 1);
  EXPECT_EQ(other->Release(), 0u);
  EXPECT_EQ(TotalChange(), 0);
}

TEST_F(DispatchBaseTest, DefaultsAnswerByNameAndTouchNothingElse) {
  auto *base = new tORNDispatchBase();
  orn_uint32 hint = 0x1234;
  Variant result = Variant::Integer(5);
  tORNVariant *params[] = {result.Raw()};
  const std::function<orn_int(const orn_char *)> named[] = {
      [&](auto n) { return base->CallMember(0, n, &hint, result.Raw(), 1, params, base); },
      [&](auto n) { return base->GetMember(0, n, &hint, result.Raw(), base); },
      [&](auto n) { return base->SetMember(0, n, &hint, result.Raw(), base); },
      [&](auto n) { return base->DeleteMember(0, n, &hint, base); },
      [&](auto n) { return base->NamedOperationB(0, n, &hint, &hint); },
      [&](auto n) { return base->NamedOperationC(0, n, &hint, &hint); },
      [&](auto n) { return base->NamedCallB(0, n, &hint, result.Raw(), 1, params, base); },
      [&](auto n) { return base->NamedOperationD(0, n, &hint, &hint, &hint); },
  };
  for (const auto &slot : named) {
    EXPECT_EQ(slot(u"member"), ResultNoSuchMember);
    EXPECT_EQ(slot(nullptr), ResultNotSupported);
  }
  EXPECT_EQ(base->NamedOperationA(0, u"member", &hint, &hint), ResultNotSupported);
  EXPECT_EQ(base->NamedOperationA(0, nullptr, &hint, &hint), ResultNotSupported);
  // Slots 10, 11, 20, 25, 26.
  EXPECT_EQ(base->ObjectOperationA(), ResultNotSupported);
  EXPECT_EQ(base->ObjectOperationB(), ResultNotSupported);
  EXPECT_EQ(base->ObjectOperationC(&hint, &hint, &hint), ResultNotSupported);
  EXPECT_EQ(base->ObjectOperationD(&hint, &hint, &hint), ResultNotSupported);
  EXPECT_EQ(base->ObjectOperationE(&hint, &hint, &hint), ResultNotSupported);
  EXPECT_EQ(hint, 0x1234u);
  EXPECT_EQ(result.AsInteger(), 5);
  base->Release();
}

TEST_F(DispatchBaseTest, NumberedSlotsAskTheNamedSlotForTheDecimalName) {
  auto *base = new tORNDispatchBase();
  const Variant operand = Variant::Integer(1);
  Variant result;
  tORNVariant *params[] = {result.Raw()};
  EXPECT_EQ(base->CallMemberByNumber(0, 7, nullptr, 1, params, base), ResultNoSuchMember);
  EXPECT_EQ(base->GetMemberByNumber(0, 7, result.Raw(), base), ResultNoSuchMember);
  EXPECT_EQ(base->SetMemberByNumber(0, 7, operand.Raw(), base), ResultNoSuchMember);
  EXPECT_EQ(base->NumberedOperationA(0, 7, nullptr), ResultNotSupported);
  EXPECT_EQ(base->DeleteMemberByNumber(0, 7, base), ResultNoSuchMember);
  EXPECT_EQ(base->NumberedOperationB(0, 7, nullptr), ResultNoSuchMember);
  EXPECT_EQ(base->NumberedOperationC(0, 7, nullptr), ResultNoSuchMember);
  EXPECT_EQ(base->NumberedCallB(0, 7, nullptr, 1, params, base), ResultNoSuchMember);
  EXPECT_EQ(base->NumberedOperationD(0, 7, nullptr, nullptr), ResultNoSuchMember);
  EXPECT_EQ(base->ModifyMemberByNumber(3, 7, result.Raw(), operand.Raw(), base),
            ResultNoSuchMember);
  base->Release();

  // A derived slot receives the number's text, a null hint and every other
  // argument unchanged.
  auto *probe = new tProbe(&life_);
  Variant callResult;
  iORNDispatch2 *self = &env_.Global();
  EXPECT_EQ(probe->CallMemberByNumber(0x201, -2147483647 - 1, callResult.Raw(), 1, params, self),
            42);
  EXPECT_EQ(probe->call.name, u"-2147483648");
  EXPECT_EQ(probe->call.flag, 0x201u);
  EXPECT_EQ(probe->call.hint, nullptr);
  EXPECT_EQ(probe->call.result, callResult.Raw());
  EXPECT_EQ(probe->call.argumentCount, 1);
  EXPECT_EQ(probe->call.params, params);
  EXPECT_EQ(probe->call.objthis, self);
  EXPECT_EQ(probe->GetMemberByNumber(4, 7, result.Raw(), self), 0);
  EXPECT_EQ(probe->get.name, u"7");
  EXPECT_EQ(probe->get.flag, 4u);
  EXPECT_EQ(probe->get.hint, nullptr);
  EXPECT_EQ(probe->get.objthis, self);
  probe->Release();
}

TEST_F(DispatchBaseTest, ModifyMemberCodesAndOperands) {
  const Variant four = Variant::Integer(4);
  struct Case {
    orn_uint32 flag;
    const Variant *operand;
    orn_int status;
    tOVInteger value;  // the member afterwards, and the result when the status is 0
  };
  std::vector<Case> cases = {
      {0, &four, ResultBadArgument, 10},
      {3, nullptr, ResultBadArgument, 10},
      {15, nullptr, 0, 11},
      {16, nullptr, 0, 9},
      {0x203, &four, 0, 6},
      {0x200 | 2, &four, 0, 14},
      {0xFFFFFFE1u, &four, 0, 4},  // code 1 (assign) under every other bit
  };
  for (orn_uint32 code = 17; code <= 31; ++code) {
    cases.push_back({code, &four, ResultBadArgument, 10});
  }
  iORNDispatch2 *self = &env_.Global();  // on whose behalf: passed on unchanged
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "flag " << c.flag);
    auto *probe = new tProbe(&life_);
    Variant result = Variant::Integer(-1);
    orn_uint32 hint = 0;
    orn_uint32 *const hintWord = &hint;
    EXPECT_EQ(probe->ModifyMember(c.flag, u"m", hintWord, result.Raw(),
                                  c.operand != nullptr ? c.operand->Raw() : nullptr, self),
              c.status);
    EXPECT_EQ(probe->member.AsInteger(), c.value);
    if (c.status == 0) {
      EXPECT_EQ(result.AsInteger(), c.value);
      for (const tProbe::tCall &slot : {probe->get, probe->set}) {
        EXPECT_EQ(slot.count, 1);
        EXPECT_EQ(slot.flag, 0u);
        EXPECT_EQ(slot.name, u"m");
        EXPECT_EQ(slot.hint, hintWord);
        EXPECT_EQ(slot.objthis, self);
      }
    } else {
      EXPECT_EQ(probe->get.count, 0);
      EXPECT_EQ(result.AsInteger(), -1);
    }
    probe->Release();
  }
}

TEST_F(DispatchBaseTest, ModifyMemberPassesFailuresOnUntouched) {
  const Variant four = Variant::Integer(4);
  auto *probe = new tProbe(&life_);
  Variant result = Variant::Integer(-1);
  probe->getStatus = -7;
  EXPECT_EQ(probe->ModifyMember(2, u"m", nullptr, result.Raw(), four.Raw(), probe), -7);
  EXPECT_EQ(probe->set.count, 0);
  probe->getStatus = 0;
  probe->setStatus = -8;
  EXPECT_EQ(probe->ModifyMember(2, u"m", nullptr, result.Raw(), four.Raw(), probe), -8);
  EXPECT_EQ(result.AsInteger(), -1);
  probe->setStatus = 0;
  EXPECT_EQ(probe->ModifyMember(2, u"m", nullptr, nullptr, four.Raw(), probe), 0);
  EXPECT_EQ(probe->member.AsInteger(), 14);

  // A raise inside the operation passes on; the working copy (holding a
  // counted string here) is given back, which the host's ledger checks.
  probe->member = Variant::String(u"12");
  const Variant zero = Variant::Integer(0);
  EXPECT_THROW(probe->ModifyMember(5, u"m", nullptr, result.Raw(), zero.Raw(), probe),
               zanhost::ScriptError);
  EXPECT_EQ(probe->set.count, 2);
  probe->Release();
}

TEST_F(DispatchBaseTest, ModifyMemberOnBaseStopsAtItsGetMember) {
  auto *object = new tSetRecorder();
  const Variant zero = Variant::Integer(0);
  Variant result = Variant::Integer(3);
  // Division by zero would raise if the operation ran.
  EXPECT_EQ(object->ModifyMember(5, u"m", nullptr, result.Raw(), zero.Raw(), object),
            ResultNoSuchMember);
  EXPECT_EQ(object->ModifyMember(15, nullptr, nullptr, result.Raw(), nullptr, object),
            ResultNotSupported);
  EXPECT_EQ(object->setCalls, 0);
  EXPECT_EQ(result.AsInteger(), 3);
  object->Release();
}

TEST_F(DispatchBaseTest, BeforeDestroyRunsOnceAndMayKeepTheObject) {
  auto *object = new tProbe(&life_);
  object->keepAliveOnce = true;
  EXPECT_EQ(object->Release(), 1u);
  EXPECT_FALSE(life_.destroyed);
  EXPECT_EQ(life_.beforeDestroyCalls, 1);
  EXPECT_EQ(TotalChange(), 1);
  EXPECT_EQ(object->AddRef(), 2u);
  EXPECT_EQ(object->Release(), 1u);
  EXPECT_EQ(object->Release(), 0u);
  EXPECT_TRUE(life_.destroyed);
  EXPECT_EQ(life_.beforeDestroyCalls, 1);  // not run a second time
  EXPECT_EQ(TotalChange(), 0);
}

}  // namespace
