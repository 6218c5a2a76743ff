#include "tools/animation_writer.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <climits>

#include "tools/cli_error.h"
#include "tools/output_file.h"

namespace zanhost::cli {
namespace {

// Fast lossless settings: frames of a preview come by the hundred.
constexpr int kLosslessLevel = 1;
constexpr uint64_t kLoneFrameMilliseconds = 100;

struct EncoderDeleter {
  void operator()(WebPAnimEncoder *encoder) const { WebPAnimEncoderDelete(encoder); }
};

class OwnedPicture {
 public:
  OwnedPicture() { WebPPictureInit(&picture_); }
  ~OwnedPicture() { WebPPictureFree(&picture_); }
  OwnedPicture(const OwnedPicture &) = delete;
  OwnedPicture &operator=(const OwnedPicture &) = delete;
  WebPPicture &Get() { return picture_; }

 private:
  WebPPicture picture_;
};

class OwnedData {
 public:
  OwnedData() { WebPDataInit(&data_); }
  ~OwnedData() { WebPDataClear(&data_); }
  OwnedData(const OwnedData &) = delete;
  OwnedData &operator=(const OwnedData &) = delete;
  WebPData &Get() { return data_; }

 private:
  WebPData data_;
};

int Timestamp(uint64_t milliseconds) {
  return static_cast<int>(std::min<uint64_t>(milliseconds, INT_MAX));
}

}  // namespace

struct AnimationWriter::Encoder {
  std::unique_ptr<WebPAnimEncoder, EncoderDeleter> encoder;
  WebPConfig config;
};

bool AnimationWriter::Available() {
  return true;
}

AnimationWriter::AnimationWriter(std::string path, int width, int height)
    : path_(std::move(path)), encoder_(std::make_unique<Encoder>()) {
  WebPAnimEncoderOptions options;
  if (WebPAnimEncoderOptionsInit(&options) == 0 || WebPConfigInit(&encoder_->config) == 0 ||
      WebPConfigLosslessPreset(&encoder_->config, kLosslessLevel) == 0) {
    throw RunError("the WebP library does not match the one zanhost was built with");
  }
  options.anim_params.loop_count = 0;  // for ever
  if (width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION) {
    throw RunError("cannot write the animation " + Quoted(path_) + ": WebP holds at most " +
                   std::to_string(WEBP_MAX_DIMENSION) + " pixels a side, not " +
                   std::to_string(width) + "x" + std::to_string(height));
  }
  encoder_->encoder.reset(WebPAnimEncoderNew(width, height, &options));
  if (encoder_->encoder == nullptr) {
    throw RunError("cannot start the animation " + Quoted(path_) + ": not enough memory");
  }
}

AnimationWriter::~AnimationWriter() = default;

void AnimationWriter::Add(const PixelBuffer &frame, uint64_t time) {
  if (!times_.empty() && time <= times_.back()) {
    throw RunError("the animation " + Quoted(path_) +
                   " needs frames at increasing times (give --at in order, each once)");
  }
  OwnedPicture picture;
  WebPPicture &pixels = picture.Get();
  pixels.use_argb = 1;
  pixels.width = frame.Width();
  pixels.height = frame.Height();
  if (WebPPictureAlloc(&pixels) == 0) {
    throw RunError("not enough memory for a frame of " + Quoted(path_));
  }
  // WebP's ARGB pixels are native 32-bit words, as the frame's.
  for (int y = 0; y < frame.Height(); ++y) {
    std::copy_n(frame.Row32(y), frame.Width(),
                pixels.argb + static_cast<ptrdiff_t>(y) * pixels.argb_stride);
  }
  const uint64_t start = times_.empty() ? time : times_.front();
  if (WebPAnimEncoderAdd(encoder_->encoder.get(), &pixels, Timestamp(time - start),
                         &encoder_->config) == 0) {
    throw RunError("cannot encode a frame of " + Quoted(path_) + ": " +
                   WebPAnimEncoderGetError(encoder_->encoder.get()));
  }
  times_.push_back(time);
}

std::string AnimationWriter::Finish() {
  const size_t count = times_.size();
  const uint64_t last = count > 1 ? times_[count - 1] - times_[count - 2] : kLoneFrameMilliseconds;
  const uint64_t end = count > 0 ? times_.back() - times_.front() + last : 0;
  OwnedData data;
  if (WebPAnimEncoderAdd(encoder_->encoder.get(), nullptr, Timestamp(end), nullptr) == 0 ||
      WebPAnimEncoderAssemble(encoder_->encoder.get(), &data.Get()) == 0) {
    throw RunError("cannot assemble the animation " + Quoted(path_) + ": " +
                   WebPAnimEncoderGetError(encoder_->encoder.get()));
  }
  WriteOutputFile(path_,
                  std::vector<uint8_t>(data.Get().bytes, data.Get().bytes + data.Get().size));
  return path_;
}

}  // namespace zanhost::cli
