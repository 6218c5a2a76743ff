// The files of one rendered transition: each frame as frame-NNN.png as it
// comes, then a contact sheet (contact.png) of up to kSheetCells frames at
// evenly spaced times, each labelled with its time. Paths handed to the gallery
// are relative to the page's directory.
#pragma once

#include <string>
#include <vector>

#include "tools/contact_sheet.h"
#include "tools/frame_clock.h"
#include "tools/html_gallery.h"

namespace zanhost::cli {

constexpr size_t kSheetCells = 12;
constexpr int kSheetColumns = 4;

class TransitionOutput {
 public:
  // Files go to pageDirectory/subDirectory (an empty subDirectory: the page's
  // own), which is created. `frameCount` sets the width of the frame numbers.
  TransitionOutput(const std::string &pageDirectory, const std::string &subDirectory,
                   GalleryTransition description, int frameCount);

  void AddFrame(const FrameTime &time, const PixelBuffer &frame);
  // Writes the contact sheet; the gallery's entry for the transition.
  GalleryTransition Finish();
  // Every file written so far, as paths from the working directory.
  const std::vector<std::string> &Written() const { return written_; }

 private:
  std::string Save(const std::string &fileName, const PixelBuffer &picture);

  std::string pageDirectory_;
  std::string subDirectory_;
  GalleryTransition description_;
  int numberWidth_;
  std::vector<PixelBuffer> thumbnails_;
  std::vector<std::string> written_;
};

// "t=250": a frame's label.
std::string TimeLabel(const FrameTime &time);

}  // namespace zanhost::cli
