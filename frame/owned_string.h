// RAII owner of a host script string. Every operation is one host call; the
// destructor's host function is resolved before the string is made, so
// destruction never needs a lookup that could raise.
#pragma once

#include "frame/host_import.h"

class tOwnedString {
 public:
  explicit tOwnedString(const orn_char *text) {
    PrepareDestruction();
    Host<hostfn::StringFromText>()(&storage_, text);
  }
  explicit tOwnedString(orn_int number) {
    PrepareDestruction();
    Host<hostfn::StringFromInt>()(&storage_, number);
  }
  tOwnedString(const tOwnedString &) = delete;
  tOwnedString &operator=(const tOwnedString &) = delete;
  ~tOwnedString() { Host<hostfn::StringDestruct>()(&storage_); }

  // Concatenations, left first: the host's operator + into a temporary, copied
  // into the result, the temporary destroyed.
  tOwnedString operator+(const tOwnedString &right) const;
  tOwnedString operator+(const orn_char *right) const;

  const tORNString &storage() const { return storage_; }

 private:
  struct tAdopt {};
  // Takes a copy of `temporary` and destroys the temporary.
  tOwnedString(tAdopt, tORNString temporary);
  static void PrepareDestruction() { Host<hostfn::StringDestruct>(); }

  tORNString storage_;
};
