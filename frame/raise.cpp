#include "frame/raise.h"

#include <cstdio>
#include <cstdlib>

#include "frame/host_import.h"
#include "frame/owned_string.h"

void RaiseMessage(const orn_char *message) {
  Host<hostfn::ZANThrowExceptionMessage>()(message);
  AbortAfterRaise(hostfn::ZANThrowExceptionMessage::key);
}

void RaiseMessage(const orn_char *message, const tOwnedString &text) {
  Host<hostfn::ZANThrowExceptionMessageWithString>()(message, text.storage());
  AbortAfterRaise(hostfn::ZANThrowExceptionMessageWithString::key);
}

void RaiseMessage(const orn_char *message, const tOwnedString &first, const tOwnedString &second) {
  Host<hostfn::ZANThrowExceptionMessageWithStrings>()(message, first.storage(), second.storage());
  AbortAfterRaise(hostfn::ZANThrowExceptionMessageWithStrings::key);
}

void AbortAfterRaise(const char *key) {
  std::fprintf(stderr, "fxplugin: host raise function returned: %s\n", key);
  std::abort();
}
