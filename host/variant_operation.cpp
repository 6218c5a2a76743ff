#include "host/variant_operation.h"

#include "host/script_error.h"
#include "host/script_value.h"

namespace zanhost {
namespace {

enum Operation : orn_int {
  kAssign = 1,
  kAdd,
  kSubtract,
  kMultiply,
  kDivide,
  kModulo,
  kBitAnd,
  kBitOr,
  kBitXor,
  kShiftLeft,
  kShiftRight,
  kConcatenate,
  kLogicalAnd,
  kLogicalOr,
  kIncrement,
  kDecrement,
};

bool IsInteger(const tORNVariant &value) {
  const tORNVariantType type = TypeOf(value);
  return type == kVariantInteger || type == kVariantEmpty;
}

bool IsTrue(const tORNVariant &value) {
  switch (TypeOf(value)) {
    case kVariantEmpty:
      return false;
    case kVariantObject:
      return VariantAsObjectNoAddRef(&value) != nullptr;
    case kVariantString:
      return !StringIn(value)->empty();
    case kVariantReal:
      return VariantToReal(&value) != 0.0;
    default:
      return VariantToInteger(&value) != 0;
  }
}

// Wrapping 64-bit arithmetic, done unsigned to stay defined.
tOVInteger Wrap(uint64_t value) {
  return static_cast<tOVInteger>(value);
}
uint64_t Bits(tOVInteger value) {
  return static_cast<uint64_t>(value);
}

[[noreturn]] void RaiseDivisionByZero() {
  RaiseScriptError(u"division by zero");
}

void Arithmetic(orn_int operation, tORNVariant &target, const tORNVariant &operand) {
  if (IsInteger(target) && IsInteger(operand)) {
    const tOVInteger left = VariantToInteger(&target);
    const tOVInteger right = VariantToInteger(&operand);
    tOVInteger result = 0;
    switch (operation) {
      case kAdd:
        result = Wrap(Bits(left) + Bits(right));
        break;
      case kSubtract:
        result = Wrap(Bits(left) - Bits(right));
        break;
      case kMultiply:
        result = Wrap(Bits(left) * Bits(right));
        break;
      default:
        if (right == 0) {
          RaiseDivisionByZero();
        }
        result = right == -1 ? Wrap(0 - Bits(left)) : left / right;
        break;
    }
    VariantAssignInteger(&target, result);
    return;
  }
  const tOVReal left = VariantToReal(&target);
  const tOVReal right = VariantToReal(&operand);
  tOVReal result = 0.0;
  switch (operation) {
    case kAdd:
      result = left + right;
      break;
    case kSubtract:
      result = left - right;
      break;
    case kMultiply:
      result = left * right;
      break;
    default:
      if (right == 0.0) {
        RaiseDivisionByZero();
      }
      result = left / right;
      break;
  }
  VariantAssignReal(&target, result);
}

void Bitwise(orn_int operation, tORNVariant &target, const tORNVariant &operand) {
  const uint64_t left = Bits(VariantToInteger(&target));
  const uint64_t right = Bits(VariantToInteger(&operand));
  const unsigned shift = static_cast<unsigned>(right & 63);
  tOVInteger result = 0;
  switch (operation) {
    case kModulo:
      if (right == 0) {
        RaiseDivisionByZero();
      }
      result = Wrap(right) == -1 ? 0 : Wrap(left) % Wrap(right);
      break;
    case kBitAnd:
      result = Wrap(left & right);
      break;
    case kBitOr:
      result = Wrap(left | right);
      break;
    case kBitXor:
      result = Wrap(left ^ right);
      break;
    case kShiftLeft:
      result = Wrap(left << shift);
      break;
    default:
      // Arithmetic shift written without relying on signed right shift.
      result = Wrap(Wrap(left) < 0 ? ~(~left >> shift) : left >> shift);
      break;
  }
  VariantAssignInteger(&target, result);
}

void Step(orn_int operation, tORNVariant &target) {
  const tOVInteger delta = operation == kIncrement ? 1 : -1;
  if (IsInteger(target)) {
    VariantAssignInteger(&target, Wrap(Bits(VariantToInteger(&target)) + Bits(delta)));
  } else {
    VariantAssignReal(&target, VariantToReal(&target) + static_cast<tOVReal>(delta));
  }
}

}  // namespace

void ORNDoVariantOperation(orn_int operation, tORNVariant &target, const tORNVariant *operand) {
  if (operation == kIncrement || operation == kDecrement) {
    Step(operation, target);
    return;
  }
  if (operation < kAssign || operation > kDecrement) {
    RaiseScriptError(u"unknown variant operation");
  }
  if (operand == nullptr) {
    RaiseScriptError(u"variant operation without an operand");
  }
  switch (operation) {
    case kAssign:
      VariantAssign(&target, *operand);
      break;
    case kAdd:
    case kSubtract:
    case kMultiply:
    case kDivide:
      Arithmetic(operation, target, *operand);
      break;
    case kConcatenate:
      VariantAssignText(&target, VariantToText(target) + VariantToText(*operand));
      break;
    case kLogicalAnd:
      VariantAssignInteger(&target, IsTrue(target) && IsTrue(*operand) ? 1 : 0);
      break;
    case kLogicalOr:
      VariantAssignInteger(&target, IsTrue(target) || IsTrue(*operand) ? 1 : 0);
      break;
    default:
      Bitwise(operation, target, *operand);
      break;
  }
}

}  // namespace zanhost
