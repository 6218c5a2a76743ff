// A progress line on standard error for runs with many frames: one line,
// rewritten in place ("add: frame 12/60"), shown only when standard error is a
// terminal and the run is not quiet, so that logs and captured output stay
// clean. It is ended by the next message or at the end of its scope.
#pragma once

#include <string>

namespace zanhost::cli {

// Runs with fewer frames finish too fast to need one.
constexpr int kFramesWorthAProgressLine = 10;

class ProgressLine {
 public:
  ProgressLine(std::string label, int total);
  ~ProgressLine();
  ProgressLine(const ProgressLine &) = delete;
  ProgressLine &operator=(const ProgressLine &) = delete;

  void Advance();
  void End();

 private:
  std::string label_;
  int total_;
  int done_ = 0;
  bool shown_;
};

}  // namespace zanhost::cli
