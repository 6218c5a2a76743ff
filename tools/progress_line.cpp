#include "tools/progress_line.h"

#include "tools/console.h"
#include "tools/platform.h"

namespace zanhost::cli {

ProgressLine::ProgressLine(std::string label, int total)
    : label_(std::move(label)),
      total_(total),
      shown_(total >= kFramesWorthAProgressLine && !Quiet() && StandardErrorIsTerminal()) {}

ProgressLine::~ProgressLine() {
  End();
}

void ProgressLine::End() {
  if (shown_) {
    EndProgress();
  }
}

void ProgressLine::Advance() {
  ++done_;
  if (shown_) {
    ShowProgress(label_ + ": frame " + std::to_string(done_) + "/" + std::to_string(total_));
  }
}

}  // namespace zanhost::cli
