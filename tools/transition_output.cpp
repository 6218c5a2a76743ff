#include "tools/transition_output.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "tools/picture_files.h"

namespace zanhost::cli {
namespace {

std::string JoinPath(const std::string &directory, const std::string &name) {
  return directory.empty() ? name : directory + "/" + name;
}

std::string Numbered(size_t number, int width) {
  std::string digits = std::to_string(number);
  return std::string(static_cast<size_t>(std::max(0, width - static_cast<int>(digits.size()))),
                     '0') +
         digits;
}

PixelBuffer PackedCopy(const PixelBuffer &picture) {
  PixelBuffer copy(picture.Width(), picture.Height(), 32);
  const size_t rowBytes = static_cast<size_t>(picture.Width()) * 4;
  for (int y = 0; y < picture.Height(); ++y) {
    std::memcpy(copy.Row(y), picture.Row(y), rowBytes);
  }
  return copy;
}

}  // namespace

TransitionOutput::TransitionOutput(const std::string &pageDirectory,
                                   const std::string &subDirectory, GalleryTransition description,
                                   int frameCount, bool opaqueFrames)
    : pageDirectory_(pageDirectory),
      subDirectory_(subDirectory),
      description_(std::move(description)),
      numberWidth_(std::max(3, static_cast<int>(std::to_string(frameCount - 1).size()))),
      opaqueFrames_(opaqueFrames) {
  MakeDirectory(JoinPath(pageDirectory_, subDirectory_));
}

std::string TimeLabel(const FrameTime &time) {
  return "t=" + std::to_string(time.time);
}

void MakeOpaque(PixelBuffer &picture) {
  for (int y = 0; y < picture.Height(); ++y) {
    uint32_t *row = picture.Row32(y);
    for (int x = 0; x < picture.Width(); ++x) {
      row[x] |= 0xFF000000u;
    }
  }
}

std::string TransitionOutput::PathOf(const std::string &fileName, std::string &relative) {
  relative = JoinPath(subDirectory_, fileName);
  const std::string path = JoinPath(pageDirectory_, relative);
  written_.push_back(path);
  return path;
}

void TransitionOutput::AddFrame(const FrameTime &time, const PixelBuffer &frame) {
  std::string relative;
  const std::string path =
      PathOf("frame-" + Numbered(thumbnails_.size(), numberWidth_) + ".png", relative);
  description_.frames.push_back(GalleryFrame{relative, TimeLabel(time)});
  PixelBuffer &thumbnail = thumbnails_.emplace_back(0, 0, 32);
  auto picture = std::make_shared<PixelBuffer>(PackedCopy(frame));
  pool_.Submit([this, path, picture, &thumbnail] {
    if (opaqueFrames_) {
      MakeOpaque(*picture);
    }
    SavePicture(path, *picture);
    thumbnail = MakeThumbnail(*picture);
  });
}

GalleryTransition TransitionOutput::Finish() {
  pool_.Wait();
  std::vector<SheetCell> cells;
  for (size_t index : PickEvenly(thumbnails_.size(), kSheetCells)) {
    cells.push_back(SheetCell{&thumbnails_[index], description_.frames[index].label});
  }
  std::string relative;
  SavePicture(PathOf("contact.png", relative), MakeContactSheet(cells, kSheetColumns));
  description_.contactSheet = relative;
  return description_;
}

}  // namespace zanhost::cli
