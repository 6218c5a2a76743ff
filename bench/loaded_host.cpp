#include "bench/loaded_host.h"

#include <stdexcept>

namespace fxbench {

tLoadedHost::tLoadedHost() {
  if (module_.Link(&env_.Functions()) != 0) {
    throw std::runtime_error("module refused to link");
  }
}

tLoadedHost::~tLoadedHost() {
  for (const orn_char *name : {u"distortion", u"blur", u"blur_alpha"}) {
    env_.Global().DeleteMember(0, name, nullptr, &env_.Global());
  }
  module_.Unlink();
}

orn_int tLoadedHost::Call(const orn_char *name, std::vector<zanhost::Variant> &arguments) {
  std::vector<tORNVariant *> params;
  for (zanhost::Variant &argument : arguments) {
    params.push_back(argument.Raw());
  }
  return env_.Global().CallMember(0, name, nullptr, nullptr, static_cast<orn_int>(params.size()),
                                  params.data(), &env_.Global());
}

}  // namespace fxbench
