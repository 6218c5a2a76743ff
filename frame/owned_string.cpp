#include "frame/owned_string.h"

tOwnedString::tOwnedString(tAdopt, tORNString temporary) {
  struct tTemporary {
    tORNString storage;
    ~tTemporary() { Host<hostfn::StringDestruct>()(&storage); }
  } owner{temporary};
  Host<hostfn::StringCopy>()(&storage_, owner.storage);
}

tOwnedString tOwnedString::operator+(const tOwnedString &right) const {
  PrepareDestruction();
  return tOwnedString(tAdopt{}, Host<hostfn::StringConcat>()(&storage_, right.storage_));
}

tOwnedString tOwnedString::operator+(const orn_char *right) const {
  PrepareDestruction();
  return tOwnedString(tAdopt{}, Host<hostfn::StringConcatText>()(&storage_, right));
}
