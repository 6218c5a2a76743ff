// The index.html that shows a run's results without a server: the pictures a
// run started from, a player per animation (a transition's frames, or a
// function's frames in motion) with its contact sheet and animated WebP, and
// the before/after pair of each function. Paths are relative to the page.
//
// A player shows each frame through its img element: a slider scrubs, a
// play/pause button plays the frames at their times, looping, and the left
// and right arrow keys step one frame (on the player last used). "#play" at
// the end of the page's address starts every player.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zanhost::cli {

struct GalleryFrame {
  std::string path;
  std::string label;
  uint64_t time = 0;  // milliseconds from the first frame's start
};

struct GalleryPicture {
  std::string caption;
  std::string path;
};

struct GalleryPlayer {
  std::string name;
  std::string options;  // a transition's "key=value ...", or a function's call
  std::string contactSheet;
  std::vector<GalleryFrame> frames;
  std::string kind = "transition";     // or "function": the section's heading
  std::vector<GalleryPicture> inputs;  // shown above the player
  std::string animation;               // an animated WebP, or none
  std::string subtitle;                // after the heading's name, e.g. " in motion"
};

struct GalleryFunction {
  std::string name;
  std::string call;  // the script call, e.g. "blur(layer, 3, 3)"
  std::string before;
  std::string after;
};

struct Gallery {
  std::string title;
  std::vector<GalleryPicture> inputs;  // the pictures the run started from
  std::vector<GalleryPlayer> players;
  std::vector<GalleryFunction> functions;
};

std::string GalleryHtml(const Gallery &gallery);

}  // namespace zanhost::cli
