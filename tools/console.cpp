#include "tools/console.h"

#include <atomic>
#include <iostream>

#include "tools/cli_error.h"

namespace zanhost::cli {
namespace {

bool quiet = false;
bool strict = false;
// Set by the threads that write files.
std::atomic<bool> notesOnStandardError{false};
bool progressOpen = false;

}  // namespace

void SetQuiet(bool value) {
  quiet = value;
}

bool Quiet() {
  return quiet;
}

void SetStrict(bool value) {
  strict = value;
}

void Caution(const std::vector<std::string> &texts) {
  for (size_t i = 0; i < texts.size(); ++i) {
    if (!strict) {
      Warn(texts[i]);
    } else if (i + 1 < texts.size()) {
      SayError(texts[i]);
    } else {
      throw StrictError(texts[i] + " (--strict)");
    }
  }
}

void KeepStandardOutputForData() {
  notesOnStandardError = true;
}

void Say(const std::string &line) {
  if (!quiet) {
    EndProgress();
    (notesOnStandardError ? std::cerr : std::cout) << line << '\n';
  }
}

void Warn(const std::string &text) {
  SayError("warning: " + text);
}

void SayError(const std::string &text) {
  EndProgress();
  std::cout.flush();
  std::cerr << "zanhost: " << text << '\n';
}

void ShowProgress(const std::string &text) {
  std::cout.flush();
  std::cerr << '\r' << text << std::flush;
  progressOpen = true;
}

void EndProgress() {
  if (progressOpen) {
    std::cerr << '\n' << std::flush;
    progressOpen = false;
  }
}

}  // namespace zanhost::cli
