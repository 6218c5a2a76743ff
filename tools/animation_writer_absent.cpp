// AnimationWriter for a build without libwebp: it refuses to start.
#include "tools/animation_writer.h"
#include "tools/cli_error.h"
#include "tools/output_file.h"

namespace zanhost::cli {

struct AnimationWriter::Encoder {};

bool AnimationWriter::Available() {
  return false;
}

AnimationWriter::AnimationWriter(std::string path, int, int) : path_(std::move(path)) {
  throw RunError("cannot write " + Quoted(path_) + ": this zanhost was built without WebP output");
}

AnimationWriter::~AnimationWriter() = default;

void AnimationWriter::Add(const PixelBuffer &, uint64_t) {}

std::string AnimationWriter::Finish() {
  return path_;
}

}  // namespace zanhost::cli
