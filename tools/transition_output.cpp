#include "tools/transition_output.h"

#include <algorithm>

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

}  // namespace

TransitionOutput::TransitionOutput(const std::string &pageDirectory,
                                   const std::string &subDirectory, GalleryTransition description,
                                   int frameCount)
    : pageDirectory_(pageDirectory),
      subDirectory_(subDirectory),
      description_(std::move(description)),
      numberWidth_(std::max(3, static_cast<int>(std::to_string(frameCount - 1).size()))) {
  MakeDirectory(JoinPath(pageDirectory_, subDirectory_));
}

std::string TimeLabel(const FrameTime &time) {
  return "t=" + std::to_string(time.time);
}

std::string TransitionOutput::Save(const std::string &fileName, const PixelBuffer &picture) {
  const std::string relative = JoinPath(subDirectory_, fileName);
  const std::string path = JoinPath(pageDirectory_, relative);
  SavePicture(path, picture);
  written_.push_back(path);
  return relative;
}

void TransitionOutput::AddFrame(const FrameTime &time, const PixelBuffer &frame) {
  const std::string name = "frame-" + Numbered(thumbnails_.size(), numberWidth_) + ".png";
  description_.frames.push_back(GalleryFrame{Save(name, frame), TimeLabel(time)});
  thumbnails_.push_back(MakeThumbnail(frame));
}

GalleryTransition TransitionOutput::Finish() {
  std::vector<SheetCell> cells;
  for (size_t index : PickEvenly(thumbnails_.size(), kSheetCells)) {
    cells.push_back(SheetCell{&thumbnails_[index], description_.frames[index].label});
  }
  description_.contactSheet = Save("contact.png", MakeContactSheet(cells, kSheetColumns));
  return description_;
}

}  // namespace zanhost::cli
