// Every host function key of the contract, in its header's order, for tests
// that go through them all.
#pragma once

#include "hostapi/host_functions.h"

namespace fxtest {

inline const char *const kAllHostKeys[] = {
    hostfn::ZANAddTransHandlerProvider::key,
    hostfn::ZANRemoveTransHandlerProvider::key,
    hostfn::ZANGetScriptDispatch::key,
    hostfn::ZANFillARGB::key,
    hostfn::ZANAddBlend::key,
    hostfn::ZANConstAlphaBlend::key,
    hostfn::ZANConstColorAlphaBlend::key,
    hostfn::ZANInitUnivTransBlendTable::key,
    hostfn::ZANInitUnivTransBlendTable_d::key,
    hostfn::ZANUnivTransBlend::key,
    hostfn::ZANUnivTransBlend_d::key,
    hostfn::ZANUnivTransBlend_switch::key,
    hostfn::ZANUnivTransBlend_switch_d::key,
    hostfn::VariantConstruct::key,
    hostfn::VariantConstructObject::key,
    hostfn::VariantDestruct::key,
    hostfn::VariantAssign::key,
    hostfn::VariantAssignInteger::key,
    hostfn::VariantCopyRef::key,
    hostfn::VariantType::key,
    hostfn::VariantToInt::key,
    hostfn::VariantToInteger::key,
    hostfn::VariantToReal::key,
    hostfn::VariantAsInteger::key,
    hostfn::VariantAsReal::key,
    hostfn::VariantToObject::key,
    hostfn::VariantAsObjectNoAddRef::key,
    hostfn::ORNDoVariantOperation::key,
    hostfn::ORN_int_to_str::key,
    hostfn::StringFromText::key,
    hostfn::StringFromInt::key,
    hostfn::StringCopy::key,
    hostfn::StringDestruct::key,
    hostfn::StringConcat::key,
    hostfn::StringConcatText::key,
    hostfn::ZANThrowExceptionMessage::key,
    hostfn::ZANThrowExceptionMessageWithString::key,
    hostfn::ZANThrowExceptionMessageWithStrings::key,
    hostfn::ZANThrowPluginUnboundFunctionError::key,
};

}  // namespace fxtest
