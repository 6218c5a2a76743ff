// The files of one rendered animation (a transition's frames, or a function's
// in motion): each frame as frame-NNN.png as it
// comes (encoded and written on a WorkPool while the next frame renders),
// then a contact sheet (contact.png) of up to kSheetCells frames at evenly
// spaced times, each labelled with its time. Paths handed to the gallery are
// relative to the page's directory.
//
// With opaque frames (layer type 0: the engine's layers have no alpha) every
// frame is written with alpha 255, also those the transition passed through
// from a picture with transparency, so all frames, the sheet and the page agree.
//
// With an animation path the frames also go, as they come, into a looping
// animated WebP (animation_writer.h).
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "tools/animation_writer.h"
#include "tools/contact_sheet.h"
#include "tools/frame_clock.h"
#include "tools/html_gallery.h"
#include "tools/work_pool.h"

namespace zanhost::cli {

constexpr size_t kSheetCells = 12;
constexpr int kSheetColumns = 4;

// A picture a page shows beside its player, and the file it was read from
// (empty: made in memory).
struct InputPicture {
  std::string caption;
  const PixelBuffer *picture;
  std::string sourceFile;
};

class TransitionOutput {
 public:
  // Files go to pageDirectory/subDirectory (an empty subDirectory: the page's
  // own), which is created. `frameCount` sets the width of the frame numbers.
  TransitionOutput(const std::string &pageDirectory, const std::string &subDirectory,
                   GalleryPlayer description, int frameCount, bool opaqueFrames,
                   const std::string &animationPath = "");

  // Pictures the page shows beside its player, written as input-CAPTION.png
  // (a name no frame takes) while the frames render: a still PNG source file
  // is copied as it stands (the same pixels, without encoding them again),
  // any other picture is encoded. Each must live until Finish.
  void AddInputs(const std::vector<InputPicture> &pictures);
  // A transition's frame, labelled with its time.
  void AddFrame(const FrameTime &time, const PixelBuffer &frame);
  // Any frame; `time` in milliseconds, as the player and animation show it.
  void AddFrame(const std::string &label, uint64_t time, const PixelBuffer &frame);
  // Waits for the frames and inputs, writes the contact sheet and the
  // animation; the gallery's entry for the animation.
  GalleryPlayer Finish();
  // Every file written so far, as paths from the working directory.
  const std::vector<std::string> &Written() const { return written_; }

 private:
  std::string PathOf(const std::string &fileName, std::string &relative);

  std::string pageDirectory_;
  std::string subDirectory_;
  GalleryPlayer description_;
  int numberWidth_;
  bool opaqueFrames_;
  // A deque: the pool fills entries while later ones are appended.
  std::deque<PixelBuffer> thumbnails_;
  std::vector<std::string> written_;
  // Paths relative to the page's directory.
  std::vector<GalleryPicture> inputs_;
  std::string animationPath_;
  std::string animationRelative_;
  std::unique_ptr<AnimationWriter> animation_;
  // Last: its threads use the members above until it is joined.
  WorkPool pool_;
};

// "t=250": a frame's label.
std::string TimeLabel(const FrameTime &time);

// Writes the page of one animation, pageDirectory/index.html, and prints the
// files written (`written`, then the page).
void WritePlayerPage(const std::string &pageDirectory, const std::string &title,
                     GalleryPlayer player, std::vector<std::string> written);

}  // namespace zanhost::cli
