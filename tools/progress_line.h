// A progress line on standard error for runs with many frames: one line,
// rewritten in place ("add: frame 12/60"), shown only when standard error is a
// terminal so that logs and captured output stay clean.
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

 private:
  std::string label_;
  int total_;
  int done_ = 0;
  bool shown_;
};

}  // namespace zanhost::cli
