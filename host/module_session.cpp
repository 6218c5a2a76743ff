#include "host/module_session.h"

namespace zanhost {

void DropModuleGlobalFunctions(Environment &env) {
  GlobalObject &global = env.Global();
  for (const orn_char *function : kModuleGlobalFunctions) {
    global.DeleteMember(0, function, nullptr, &global);
  }
}

orn_int CallGlobalFunction(Environment &env, const orn_char *name,
                           std::vector<Variant> &arguments) {
  std::vector<tORNVariant *> params;
  for (Variant &argument : arguments) {
    params.push_back(argument.Raw());
  }
  GlobalObject &global = env.Global();
  return global.CallMember(0, name, nullptr, nullptr, static_cast<orn_int>(params.size()),
                           params.data(), &global);
}

ModuleSession::ModuleSession(const std::string &modulePath,
                             void (*prepare)(FunctionTable &functions))
    : library_(modulePath) {
  if (prepare != nullptr) {
    prepare(environment_.Functions());
  }
  const orn_int status = library_.Link(&environment_.Functions());
  if (status < 0) {
    throw ModuleLinkError("module " + modulePath + " refused to link (status " +
                          std::to_string(status) + ")");
  }
}

ModuleSession::~ModuleSession() {
  Close();
}

orn_int ModuleSession::Close() {
  if (!library_.Linked()) {
    return 0;
  }
  DropModuleGlobalFunctions(environment_);
  return library_.Unlink();
}

}  // namespace zanhost
