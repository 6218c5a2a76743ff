#include "host/library_file.h"

#ifdef _WIN32
#include <windows.h>

#include <filesystem>
#else
#include <dlfcn.h>
#endif

namespace zanhost {

#ifdef _WIN32

namespace {

std::string LastLoaderError() {
  const DWORD code = GetLastError();
  char *text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char *>(&text), 0, nullptr);
  std::string message = length > 0 ? std::string(text, length) : "";
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(code) : message;
}

// The UTF-8 path as the wide text LoadLibraryW takes, with backslashes (the
// loader does not promise to accept forward slashes).
std::wstring WidePath(const std::string &path) {
  return std::filesystem::u8path(path).make_preferred().wstring();
}

}  // namespace

void *OpenLibraryFile(const std::string &path, std::string &error) {
  HMODULE library = LoadLibraryW(WidePath(path).c_str());
  if (library == nullptr) {
    // Named like the POSIX loader's own words: "PATH: reason".
    error = path + ": " + LastLoaderError();
  }
  return reinterpret_cast<void *>(library);
}

void *FindLibraryEntry(void *library, const char *name, std::string &error) {
  FARPROC entry = GetProcAddress(static_cast<HMODULE>(library), name);
  if (entry == nullptr) {
    error = LastLoaderError();
  }
  return reinterpret_cast<void *>(entry);
}

void CloseLibraryFile(void *library) {
  FreeLibrary(static_cast<HMODULE>(library));
}

#else

namespace {

std::string LastLoaderError() {
  const char *message = dlerror();
  return message != nullptr ? message : "unknown loader error";
}

}  // namespace

void *OpenLibraryFile(const std::string &path, std::string &error) {
  void *library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    error = LastLoaderError();
  }
  return library;
}

void *FindLibraryEntry(void *library, const char *name, std::string &error) {
  dlerror();
  void *entry = dlsym(library, name);
  if (entry == nullptr) {
    error = LastLoaderError();
  }
  return entry;
}

void CloseLibraryFile(void *library) {
  dlclose(library);
}

#endif

}  // namespace zanhost
