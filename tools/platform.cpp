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

std::filesystem::path ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return {};
    }
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
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

std::filesystem::path ExecutablePath() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error);
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
