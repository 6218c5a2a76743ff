#include "host/band_driver.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace zanhost {
namespace {

constexpr orn_int kFailed = -1;
constexpr orn_int kStepFinished = 2;

struct ImageShape {
  orn_int width = 0;
  orn_int height = 0;
  orn_int bitsPerPixel = 0;
};

bool ReadShape(iZANLineSource *image, ImageShape &shape) {
  return image != nullptr && image->GetWidth(&shape.width) >= 0 &&
         image->GetHeight(&shape.height) >= 0 && image->GetPixelFormat(&shape.bitsPerPixel) >= 0;
}

}  // namespace

BandDriver::BandDriver(TransitionRegistry &registry, int bandHeight)
    : registry_(registry), bandHeight_(bandHeight) {
  if (bandHeight < 1) {
    throw std::invalid_argument("bands have at least one line");
  }
}

orn_int BandDriver::Start(std::u16string_view name, iZANOptionSource *options,
                          iZANImageSource *images, orn_int layerType, iZANLineSource *src1,
                          iZANLineSource *src2, iZANLineSource *dest) {
  handler_.Reset();
  finished_ = false;
  framesRun_ = 0;
  finalImage_ = nullptr;
  iZANTransHandlerProvider *provider = registry_.Find(name);
  ImageShape first, second, target;
  if (provider == nullptr || !ReadShape(src1, first) || !ReadShape(src2, second) ||
      !ReadShape(dest, target) || first.bitsPerPixel != 32 || second.bitsPerPixel != 32 ||
      target.bitsPerPixel != 32 || target.width < first.width || target.height < first.height) {
    return kFailed;
  }
  src1_ = Ref<iZANLineSource>::Share(src1);
  src2_ = Ref<iZANLineSource>::Share(src2);
  dest_ = Ref<iZANLineSource>::Share(dest);
  width_ = first.width;
  height_ = first.height;
  iZANBandTransHandler *handler = nullptr;
  const orn_int status =
      provider->BeginTransition(options, images, layerType, first.width, first.height, second.width,
                                second.height, &resultFlags_[0], &resultFlags_[1], &handler);
  handler_ = Ref<iZANBandTransHandler>::Adopt(handler);
  if (status >= 0 && !handler_) {
    return kFailed;
  }
  return status;
}

FrameReport BandDriver::RunFrame(uint64_t tick) {
  if (!handler_) {
    return FrameReport{kFailed, finished_};
  }
  ++framesRun_;
  orn_int status = handler_->BeginStep(tick);
  if (status < 0) {
    return FrameReport{status, false};
  }
  status = ProcessBands();
  if (status < 0) {
    return FrameReport{status, false};
  }
  status = handler_->EndStep();
  if (status != kStepFinished) {
    return FrameReport{status, false};
  }
  iZANLineSource *chosen = nullptr;
  status = handler_->ChooseFinalImage(&chosen, src1_.get(), src2_.get());
  finalImage_ = chosen;
  handler_.Reset();
  finished_ = true;
  return FrameReport{status, true};
}

FrameReport BandDriver::RunOnClock(const std::vector<uint64_t> &ticks) {
  FrameReport report{kFailed, finished_};
  for (uint64_t tick : ticks) {
    report = RunFrame(tick);
    if (report.finished || report.status < 0) {
      break;
    }
  }
  return report;
}

FrameReport BandDriver::RunOnClock(uint64_t start, uint64_t step, int maxFrames) {
  std::vector<uint64_t> ticks;
  for (int frame = 0; frame < maxFrames; ++frame) {
    ticks.push_back(start + step * static_cast<uint64_t>(frame));
  }
  return RunOnClock(ticks);
}

orn_int BandDriver::ProcessBands() {
  for (orn_int top = 0; top < height_; top += bandHeight_) {
    tZANBandData band{};
    band.top = top;
    band.width = width_;
    band.height = std::min(bandHeight_, height_ - top);
    band.dest = dest_.get();
    band.destTop = top;
    band.src1 = src1_.get();
    band.src1Top = top;
    band.src2 = src2_.get();
    band.src2Top = top;
    const orn_int status = handler_->ProcessBand(&band);
    if (status < 0) {
      return status;
    }
    if (band.dest != dest_.get() || band.destLeft != 0 || band.destTop != top) {
      if (CopyRedirected(band) < 0) {
        return kFailed;
      }
    }
  }
  return 0;
}

// Copies the band's lines from where the handler pointed into the frame, after
// checking the named area lies inside that image.
orn_int BandDriver::CopyRedirected(const tZANBandData &band) {
  ImageShape from;
  if (!ReadShape(band.dest, from) || from.bitsPerPixel != 32 || band.destLeft < 0 ||
      band.destTop < 0 || int64_t{band.destLeft} + band.width > from.width ||
      int64_t{band.destTop} + band.height > from.height) {
    return kFailed;
  }
  // Rows of a picture without columns may have no address: nothing to copy.
  for (orn_int line = 0; line < band.height && band.width > 0; ++line) {
    const void *source = nullptr;
    void *target = nullptr;
    if (band.dest->GetLine(band.destTop + line, &source) < 0 ||
        dest_->GetLineForWrite(band.top + line, &target) < 0) {
      return kFailed;
    }
    std::memmove(static_cast<orn_uint32 *>(target) + band.left,
                 static_cast<const orn_uint32 *>(source) + band.destLeft,
                 static_cast<size_t>(band.width) * sizeof(orn_uint32));
  }
  return 0;
}

}  // namespace zanhost
