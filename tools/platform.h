// The few operating-system services the program needs that the C++ library
// does not offer, each with a POSIX and a Windows branch (platform.cpp).
#pragma once

#include <filesystem>

namespace zanhost::cli {

bool StandardErrorIsTerminal();

unsigned long ProcessId();

// The running program's file, or an empty path when the system cannot say.
std::filesystem::path ExecutablePath();

// From now on an interrupt (Ctrl-C; on POSIX also SIGTERM and SIGHUP) calls
// `cleanup` on a thread of its own and then ends the process as the interrupt
// would have. Call once, before any other thread starts, so that on POSIX every
// thread inherits the blocked signals and only the waiting thread takes them.
void CleanUpOnInterrupt(void (*cleanup)());

}  // namespace zanhost::cli
