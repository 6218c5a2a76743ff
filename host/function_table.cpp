#include "host/function_table.h"

#include "host/environment.h"
#include "host/pixel_routines.h"
#include "host/script_error.h"
#include "host/script_string.h"
#include "host/script_value.h"
#include "host/variant_operation.h"
#include "hostapi/host_functions.h"

namespace zanhost {

FunctionTable::FunctionTable() {
  Bind<hostfn::ZANAddTransHandlerProvider>(zanhost::ZANAddTransHandlerProvider);
  Bind<hostfn::ZANRemoveTransHandlerProvider>(zanhost::ZANRemoveTransHandlerProvider);
  Bind<hostfn::ZANGetScriptDispatch>(zanhost::ZANGetScriptDispatch);

  Bind<hostfn::ZANFillARGB>(zanhost::ZANFillARGB);
  Bind<hostfn::ZANAddBlend>(zanhost::ZANAddBlend);
  Bind<hostfn::ZANConstAlphaBlend>(zanhost::ZANConstAlphaBlend);
  Bind<hostfn::ZANConstColorAlphaBlend>(zanhost::ZANConstColorAlphaBlend);
  Bind<hostfn::ZANInitUnivTransBlendTable>(zanhost::ZANInitUnivTransBlendTable);
  Bind<hostfn::ZANInitUnivTransBlendTable_d>(zanhost::ZANInitUnivTransBlendTable_d);
  Bind<hostfn::ZANUnivTransBlend>(zanhost::ZANUnivTransBlend);
  Bind<hostfn::ZANUnivTransBlend_d>(zanhost::ZANUnivTransBlend_d);
  Bind<hostfn::ZANUnivTransBlend_switch>(zanhost::ZANUnivTransBlend_switch);
  Bind<hostfn::ZANUnivTransBlend_switch_d>(zanhost::ZANUnivTransBlend_switch_d);

  Bind<hostfn::VariantConstruct>(zanhost::VariantConstruct);
  Bind<hostfn::VariantConstructObject>(zanhost::VariantConstructObject);
  Bind<hostfn::VariantDestruct>(zanhost::VariantDestruct);
  Bind<hostfn::VariantAssign>(zanhost::VariantAssign);
  Bind<hostfn::VariantAssignInteger>(zanhost::VariantAssignInteger);
  Bind<hostfn::VariantCopyRef>(zanhost::VariantCopyRef);
  Bind<hostfn::VariantType>(zanhost::VariantType);
  Bind<hostfn::VariantToInt>(zanhost::VariantToInt);
  Bind<hostfn::VariantToInteger>(zanhost::VariantToInteger);
  Bind<hostfn::VariantToReal>(zanhost::VariantToReal);
  Bind<hostfn::VariantAsInteger>(zanhost::VariantAsInteger);
  Bind<hostfn::VariantAsReal>(zanhost::VariantAsReal);
  Bind<hostfn::VariantToObject>(zanhost::VariantToObject);
  Bind<hostfn::VariantAsObjectNoAddRef>(zanhost::VariantAsObjectNoAddRef);
  Bind<hostfn::ORNDoVariantOperation>(zanhost::ORNDoVariantOperation);
  Bind<hostfn::ORN_int_to_str>(zanhost::ORN_int_to_str);

  Bind<hostfn::StringFromText>(zanhost::StringFromText);
  Bind<hostfn::StringFromInt>(zanhost::StringFromInt);
  Bind<hostfn::StringCopy>(zanhost::StringCopy);
  Bind<hostfn::StringDestruct>(zanhost::StringDestruct);
  Bind<hostfn::StringConcat>(zanhost::StringConcat);
  Bind<hostfn::StringConcatText>(zanhost::StringConcatText);

  Bind<hostfn::ZANThrowExceptionMessage>(zanhost::ZANThrowExceptionMessage);
  Bind<hostfn::ZANThrowExceptionMessageWithString>(zanhost::ZANThrowExceptionMessageWithString);
  Bind<hostfn::ZANThrowExceptionMessageWithStrings>(zanhost::ZANThrowExceptionMessageWithStrings);
  Bind<hostfn::ZANThrowPluginUnboundFunctionError>(zanhost::ZANThrowPluginUnboundFunctionError);
}

bool FunctionTable::ResolveFunction(const char **keys, void **functions, orn_uint32 count) {
  bool allFound = true;
  for (orn_uint32 i = 0; i < count; ++i) {
    const std::string key = keys[i] != nullptr ? keys[i] : "";
    ++lookups_[key];
    const auto function = functions_.find(key);
    const bool found = function != functions_.end() && withheld_.count(key) == 0;
    functions[i] = found ? function->second : nullptr;
    allFound = allFound && found;
  }
  return allFound;
}

int FunctionTable::LookupCount(const std::string &key) const {
  const auto lookups = lookups_.find(key);
  return lookups != lookups_.end() ? lookups->second : 0;
}

}  // namespace zanhost
