#include "host/environment.h"

#include <stdexcept>

#include "host/script_value.h"

namespace zanhost {
namespace {

Environment *current = nullptr;

}  // namespace

Environment::Environment()
    : global_(Ref<GlobalObject>::Adopt(GlobalObject::Create())),
      vel_(Ref<GameObject>::Adopt(GameObject::Create(kInnerWidth, kInnerHeight))) {
  if (current != nullptr) {
    throw std::logic_error("another host environment is current");
  }
  const Variant vel = Variant::Object(vel_.get());
  global_->SetMember(FlagCreateMember, u"vel", nullptr, vel.Raw(), global_.get());
  current = this;
}

Environment::~Environment() {
  current = nullptr;
}

Environment &CurrentEnvironment() {
  if (current == nullptr) {
    throw std::logic_error("no host environment");
  }
  return *current;
}

iORNDispatch2 *ZANGetScriptDispatch() {
  if (current == nullptr || !current->GlobalObjectAvailable()) {
    return nullptr;
  }
  return Ref<iORNDispatch2>::Share(&current->Global()).Detach();
}

}  // namespace zanhost
