// The operating system's module loader, as the engine uses it: open a library
// file, find an exported entry by name, close it. Failures come back as null
// with the loader's own words in `error`.
#pragma once

#include <string>

namespace zanhost {

// The opened library, or null.
void *OpenLibraryFile(const std::string &path, std::string &error);
// The entry's address, or null.
void *FindLibraryEntry(void *library, const char *name, std::string &error);
void CloseLibraryFile(void *library);

}  // namespace zanhost
