// The index.html that shows a run's results without a server: every contact
// sheet, a slider that scrubs through each transition's frames, and the
// before/after pair of each function. Paths are relative to the page.
#pragma once

#include <string>
#include <vector>

namespace zanhost::cli {

struct GalleryFrame {
  std::string path;
  std::string label;
};

struct GalleryPicture {
  std::string caption;
  std::string path;
};

struct GalleryTransition {
  std::string name;
  std::string options;  // as passed, "key=value ..."
  std::string contactSheet;
  std::vector<GalleryFrame> frames;
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
  std::vector<GalleryTransition> transitions;
  std::vector<GalleryFunction> functions;
};

std::string GalleryHtml(const Gallery &gallery);

}  // namespace zanhost::cli
