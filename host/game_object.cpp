#include "host/game_object.h"

#include "host/script_value.h"
#include "host/utf16_text.h"

namespace zanhost {

orn_int GameObject::GetMember(orn_uint32, const orn_char *name, orn_uint32 *, tORNVariant *result,
                              iORNDispatch2 *) {
  if (name == nullptr) {
    return ResultNotSupported;
  }
  const std::u16string_view property = TextView(name);
  if (property != u"innerWidth" && property != u"innerHeight") {
    return ResultNoSuchMember;
  }
  if (property == failingProperty_) {
    return ResultNotSupported;
  }
  if (result != nullptr) {
    VariantAssignInteger(result, property == u"innerWidth" ? innerWidth_ : innerHeight_);
  }
  return 0;
}

void GameObject::SetInnerSize(orn_int width, orn_int height) {
  innerWidth_ = width;
  innerHeight_ = height;
}

}  // namespace zanhost
