#include "tools/platform.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <pthread.h>
#include <signal.h>
#include <unistd.h>
#endif

#include <csignal>
#include <cstdio>
#include <thread>

namespace zanhost::cli {
namespace {

void (*interruptCleanup)() = nullptr;

}  // namespace

#ifdef _WIN32

bool StandardErrorIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

unsigned long ProcessId() {
  return static_cast<unsigned long>(GetCurrentProcessId());
}

namespace {

BOOL WINAPI OnConsoleEvent(DWORD) {
  interruptCleanup();
  ExitProcess(130);
}

}  // namespace

void CleanUpOnInterrupt(void (*cleanup)()) {
  interruptCleanup = cleanup;
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

#else

bool StandardErrorIsTerminal() {
  return isatty(STDERR_FILENO) != 0;
}

unsigned long ProcessId() {
  return static_cast<unsigned long>(getpid());
}

namespace {

sigset_t InterruptSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  return signals;
}

// Cleans up in ordinary code (not in a signal handler), then dies of the
// signal with its default action so the parent sees how the run ended.
void WaitForInterrupt() {
  const sigset_t signals = InterruptSignals();
  int signal = 0;
  if (sigwait(&signals, &signal) != 0) {
    return;
  }
  interruptCleanup();
  std::signal(signal, SIG_DFL);
  pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
  raise(signal);
  _exit(128 + signal);
}

}  // namespace

void CleanUpOnInterrupt(void (*cleanup)()) {
  interruptCleanup = cleanup;
  const sigset_t signals = InterruptSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread(WaitForInterrupt).detach();
}

#endif

}  // namespace zanhost::cli
