// The game object "vel" (a member of the global object) with its inner size,
// "innerWidth" and "innerHeight", both integers. Either read can be made to
// fail, for tests.
#pragma once

#include <string>

#include "host/script_object.h"

namespace zanhost {

class GameObject : public ScriptObject {
 public:
  // The new object carries one reference for the caller.
  static GameObject *Create(orn_int innerWidth, orn_int innerHeight) {
    return new GameObject(innerWidth, innerHeight);
  }

  orn_int GetMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, tORNVariant *result,
                    iORNDispatch2 *objthis) override;

  void SetInnerSize(orn_int width, orn_int height);
  // The named property's read fails (ResultNotSupported) until another name
  // is given; an empty name restores it.
  void FailProperty(std::u16string name) { failingProperty_ = std::move(name); }

 private:
  GameObject(orn_int innerWidth, orn_int innerHeight)
      : innerWidth_(innerWidth), innerHeight_(innerHeight) {}
  orn_int innerWidth_;
  orn_int innerHeight_;
  std::u16string failingProperty_;
};

}  // namespace zanhost
