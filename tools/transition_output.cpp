#include "tools/transition_output.h"

#include <algorithm>
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

// A packed copy, its alpha set to 255 in the same pass when `opaque`.
PixelBuffer PackedCopy(const PixelBuffer &picture, bool opaque) {
  PixelBuffer copy(picture.Width(), picture.Height(), 32);
  const uint32_t alpha = opaque ? 0xFF000000u : 0;
  for (int y = 0; y < picture.Height(); ++y) {
    const uint32_t *from = picture.Row32(y);
    uint32_t *to = copy.Row32(y);
    for (int x = 0; x < picture.Width(); ++x) {
      to[x] = from[x] | alpha;
    }
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
  const auto picture = std::make_shared<const PixelBuffer>(PackedCopy(frame, opaqueFrames_));
  // Two jobs, so that a lone frame's thumbnail is made while it is encoded.
  pool_.Submit([path, picture] { SavePicture(path, *picture); });
  pool_.Submit([picture, &thumbnail] { thumbnail = MakeThumbnail(*picture); });
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
