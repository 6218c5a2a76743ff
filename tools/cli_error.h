// The kinds of failure the program reports besides the module's own script
// errors: a command line it cannot understand (exit status 2, with a pointer to
// --help), a value refused under --strict (2) and a run that could not be
// completed (exit status 1).
#pragma once

#include <stdexcept>

namespace zanhost::cli {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A value the module did not take as given, under --strict (exit status 2).
class StrictError : public UsageError {
 public:
  using UsageError::UsageError;
};

class RunError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

constexpr int kExitRunFailed = 1;
constexpr int kExitUsage = 2;

}  // namespace zanhost::cli
