// The files of one rendered transition: each frame as frame-NNN.png as it
// comes (encoded and written on a WorkPool while the next frame renders),
// then a contact sheet (contact.png) of up to kSheetCells frames at evenly
// spaced times, each labelled with its time. Paths handed to the gallery are
// relative to the page's directory.
//
// With opaque frames (layer type 0: the engine's layers have no alpha) every
// frame is written with alpha 255, also those the transition passed through
// from a picture with transparency, so all frames, the sheet and the page agree.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "tools/contact_sheet.h"
#include "tools/frame_clock.h"
#include "tools/html_gallery.h"
#include "tools/work_pool.h"

namespace zanhost::cli {

constexpr size_t kSheetCells = 12;
constexpr int kSheetColumns = 4;

class TransitionOutput {
 public:
  // Files go to pageDirectory/subDirectory (an empty subDirectory: the page's
  // own), which is created. `frameCount` sets the width of the frame numbers.
  TransitionOutput(const std::string &pageDirectory, const std::string &subDirectory,
                   GalleryTransition description, int frameCount, bool opaqueFrames);

  void AddFrame(const FrameTime &time, const PixelBuffer &frame);
  // Waits for the frames, writes the contact sheet; the gallery's entry for
  // the transition.
  GalleryTransition Finish();
  // Every file written so far, as paths from the working directory.
  const std::vector<std::string> &Written() const { return written_; }

 private:
  std::string PathOf(const std::string &fileName, std::string &relative);

  std::string pageDirectory_;
  std::string subDirectory_;
  GalleryTransition description_;
  int numberWidth_;
  bool opaqueFrames_;
  // A deque: the pool fills entries while later ones are appended.
  std::deque<PixelBuffer> thumbnails_;
  std::vector<std::string> written_;
  // Last: its threads use the members above until it is joined.
  WorkPool pool_;
};

// "t=250": a frame's label.
std::string TimeLabel(const FrameTime &time);

}  // namespace zanhost::cli
