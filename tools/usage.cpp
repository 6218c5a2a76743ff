#include "tools/usage.h"

namespace zanhost::cli {
namespace {

constexpr const char kProgram[] = R"(usage: zanhost COMMAND [ARGUMENTS] [--module PATH]

Loads the effects module through the reference host, exactly as the engine
does, and runs its transitions and functions on PNG pictures.

commands:
  demo         run every transition and function on built-in sample pictures
  transition   render a transition between two pictures
  blur         box-blur a picture
  blur_alpha   box-blur a picture, colour weighted by alpha
  distortion   draw a wave-distorted copy of a picture

  --module PATH  the module file to load (default: libfxplugin.so, on Windows
                 fxplugin.dll, beside the program's directory)
  --help         this text; "zanhost COMMAND --help" for a command's

exit status: 0 done, 1 the run failed (bad file, error raised by the module),
2 the command line is wrong.
)";

constexpr const char kDemo[] =
    R"(usage: zanhost demo [--out DIR] [--size WxH] [--frames N] [--module PATH]

Makes two sample pictures with some transparency and a radial rule picture,
runs the transitions "add", "brightness" and "test" and the functions "blur",
"blur_alpha" and "distortion" on them, and writes under DIR: each transition's
frames and contact sheet, each function's picture before and after, and an
index.html that shows them all (open it in a browser; no server needed).

  --out DIR      where to write (default demo-out)
  --size WxH     size of the sample pictures (default 192x128, at least 8x8)
  --frames N     frames per transition (default 24, at least 2)
)";

constexpr const char kTransition[] =
    R"(usage: zanhost transition NAME --from A.png --to B.png --out DIR
         [--option KEY=VALUE ...] [--rule R.png] [--frames N | --at T[,T...]]
         [--easing linear|in|out|in-out] [--band HEIGHT] [--layer-type N]
         [--module PATH]

Runs transition NAME ("add", "brightness" or "test") from picture A to
picture B (both of one size) and writes into DIR its frames (frame-NNN.png),
a contact sheet (contact.png) and an index.html with a slider.

  --option KEY=VALUE  a transition option, passed as a script would: whole
                      numbers as integers, other numbers as reals, any other
                      text as a string; repeat for each option
  --rule R.png        for "add": registers the picture as the rule graphic
                      named by option "rule" (which defaults to the file name)
  --frames N          frames evenly spaced from 0 to the option "time"
                      (default 24, at least 2)
  --at T[,T...]       only the frames at these times (ticks since the start),
                      each from a fresh start
  --easing CURVE      warp the clock fed to the transition (default linear)
  --band HEIGHT       lines per band handed to the transition (default 32)
  --layer-type N      layer type passed to the transition; nonzero treats the
                      destination's alpha (default 0)

options of each transition:
  add         time (ticks, required), vague (default 64), add ("in" or "out",
              required), rule (name of the rule graphic, required)
  brightness  time (required), vague (default 64), blur (radius, default 0),
              rule ("fore_light", "fore_dark", "back_light" or "back_dark",
              required)
  test        time (required); maxh, maxomega, bgcolor1, bgcolor2 and
              testtype are read but change nothing

example:
  zanhost transition add --from a.png --to b.png --rule wipe.png \
      --option time=1000 --option add=in --frames 12 --out add-out
)";

constexpr const char kBlur[] = R"(usage: zanhost blur IN.png X [Y] -o OUT.png [--module PATH]

Calls blur(layer, X[, Y]) on a Layer holding the picture: a box blur over
(2X+1) x (2Y+1) pixels, every channel alike; Y defaults to X. 2X may not
exceed the width nor 2Y the height.

example: zanhost blur photo.png 3 -o soft.png
)";

constexpr const char kBlurAlpha[] =
    R"(usage: zanhost blur_alpha IN.png X [Y] -o OUT.png [--module PATH]

Calls blur_alpha(layer, X[, Y]): the box blur of "blur" with each colour
weighted by its pixel's alpha, so transparent pixels lend no colour.

example: zanhost blur_alpha sprite.png 2 1 -o soft.png
)";

constexpr const char kDistortion[] =
    R"(usage: zanhost distortion SRC.png DST.png PHASE TOP BOTTOM [OPACITY]
         [--screen-height H] -o OUT.png [--module PATH]

Calls distortion(source, destination, PHASE, TOP, BOTTOM[, OPACITY]): draws a
wave-distorted copy of SRC into a Layer holding DST (same size) and writes the
result. PHASE is in turns of the wave; TOP and BOTTOM are the wave's period in
rows at the top and at the bottom of the screen; OPACITY (default 255, opaque)
blends the copy over DST.

  --screen-height H  the screen height over which the period runs (default:
                     the picture's height)

example: zanhost distortion a.png a.png 0.25 24 64 -o wavy.png
)";

}  // namespace

const char *ProgramUsage() {
  return kProgram;
}

const char *CommandUsage(const std::string &command) {
  if (command == "demo") {
    return kDemo;
  }
  if (command == "transition") {
    return kTransition;
  }
  if (command == "blur") {
    return kBlur;
  }
  if (command == "blur_alpha") {
    return kBlurAlpha;
  }
  if (command == "distortion") {
    return kDistortion;
  }
  return nullptr;
}

}  // namespace zanhost::cli
