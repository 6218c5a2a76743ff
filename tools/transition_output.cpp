#include "tools/transition_output.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "host/picture_bytes.h"
#include "tools/command_support.h"
#include "tools/output_file.h"
#include "tools/picture_files.h"

namespace zanhost::cli {
namespace {

std::string JoinPath(const std::string &directory, const std::string &name) {
  return directory.empty() ? name : name.empty() ? directory : directory + "/" + name;
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

// A still PNG file: the signature, and no animation control chunk ("acTL")
// before the pixel data.
bool IsStillPng(const std::vector<uint8_t> &bytes) {
  static const std::string kSignature("\x89PNG\r\n\x1a\n", 8);
  const std::string_view text(reinterpret_cast<const char *>(bytes.data()), bytes.size());
  return text.substr(0, kSignature.size()) == kSignature && text.find("acTL") > text.find("IDAT");
}

void SaveInputPicture(const std::string &path, const InputPicture &input) {
  if (!input.sourceFile.empty()) {
    std::vector<uint8_t> bytes;
    try {
      bytes = ReadFileBytes(input.sourceFile);
    } catch (const std::runtime_error &) {
      // Gone since it was read: the pixels read are encoded instead.
    }
    if (IsStillPng(bytes)) {
      WriteOutputFile(path, bytes);
      return;
    }
  }
  SavePicture(path, *input.picture);
}

}  // namespace

TransitionOutput::TransitionOutput(const std::string &pageDirectory,
                                   const std::string &subDirectory, GalleryPlayer description,
                                   int frameCount, bool opaqueFrames,
                                   const std::string &animationPath)
    : pageDirectory_(pageDirectory),
      subDirectory_(subDirectory),
      description_(std::move(description)),
      numberWidth_(std::max(3, static_cast<int>(std::to_string(frameCount - 1).size()))),
      opaqueFrames_(opaqueFrames) {
  MakeDirectory(JoinPath(pageDirectory_, subDirectory_));
  if (!animationPath.empty()) {
    // The page refers to the animation from its own folder.
    const std::filesystem::path absolute = std::filesystem::absolute(animationPath);
    animationRelative_ =
        absolute.lexically_relative(std::filesystem::absolute(pageDirectory_)).generic_string();
    animationPath_ = animationPath;
  }
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

void TransitionOutput::AddInputs(const std::vector<InputPicture> &pictures) {
  for (const InputPicture &input : pictures) {
    const std::string name = "input-" + input.caption + ".png";
    inputs_.push_back(GalleryPicture{input.caption, name});
    pool_.Submit([path = JoinPath(pageDirectory_, name), input] { SaveInputPicture(path, input); });
  }
}

void TransitionOutput::AddFrame(const FrameTime &time, const PixelBuffer &frame) {
  AddFrame(TimeLabel(time), time.time, frame);
}

void TransitionOutput::AddFrame(const std::string &label, uint64_t time, const PixelBuffer &frame) {
  std::string relative;
  const std::string path =
      PathOf("frame-" + Numbered(thumbnails_.size(), numberWidth_) + ".png", relative);
  description_.frames.push_back(GalleryFrame{relative, label, time});
  PixelBuffer &thumbnail = thumbnails_.emplace_back(0, 0, 32);
  const auto picture = std::make_shared<const PixelBuffer>(PackedCopy(frame, opaqueFrames_));
  if (!animationPath_.empty()) {
    if (!animation_) {
      animation_ =
          std::make_unique<AnimationWriter>(animationPath_, picture->Width(), picture->Height());
    }
    animation_->Add(*picture, time);
  }
  // Two jobs, so that a lone frame's thumbnail is made while it is encoded.
  pool_.Submit([path, picture] { SavePicture(path, *picture); });
  pool_.Submit([picture, &thumbnail] { thumbnail = MakeThumbnail(*picture); });
}

GalleryPlayer TransitionOutput::Finish() {
  pool_.Wait();
  std::vector<SheetCell> cells;
  for (size_t index : PickEvenly(thumbnails_.size(), kSheetCells)) {
    cells.push_back(SheetCell{&thumbnails_[index], description_.frames[index].label});
  }
  std::string relative;
  SavePicture(PathOf("contact.png", relative), MakeContactSheet(cells, kSheetColumns));
  description_.contactSheet = relative;
  for (const GalleryPicture &input : inputs_) {
    written_.push_back(JoinPath(pageDirectory_, input.path));
  }
  description_.inputs = inputs_;
  if (animation_) {
    written_.push_back(animation_->Finish());
    description_.animation = animationRelative_;
  }
  return description_;
}

void WritePlayerPage(const std::string &pageDirectory, const std::string &title,
                     GalleryPlayer player, std::vector<std::string> written) {
  const std::string page = pageDirectory + "/index.html";
  SaveText(page, GalleryHtml(Gallery{title, {}, {std::move(player)}, {}}));
  written.push_back(page);
  PrintWritten(written);
}

}  // namespace zanhost::cli
