#include "tools/progress_line.h"

#include <unistd.h>

#include <cstdio>

namespace zanhost::cli {

ProgressLine::ProgressLine(std::string label, int total)
    : label_(std::move(label)),
      total_(total),
      shown_(total >= kFramesWorthAProgressLine && isatty(STDERR_FILENO) != 0) {}

ProgressLine::~ProgressLine() {
  if (shown_ && done_ > 0) {
    std::fputc('\n', stderr);
  }
}

void ProgressLine::Advance() {
  ++done_;
  if (shown_) {
    std::fprintf(stderr, "\r%s: frame %d/%d", label_.c_str(), done_, total_);
    std::fflush(stderr);
  }
}

}  // namespace zanhost::cli
