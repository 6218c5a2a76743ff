#include "tools/usage.h"

namespace zanhost::cli {
namespace {

constexpr const char kProgram[] = R"(usage: zanhost COMMAND [ARGUMENTS] [--module PATH]

Loads the effects module through the reference host, exactly as the engine
does, and runs its transitions and functions on pictures.

commands:
  demo         run every transition and function on built-in sample pictures
  transition   render a transition between two pictures
  blur         box-blur a picture (or its blur growing, in frames)
  blur_alpha   box-blur a picture, colour weighted by alpha (or in frames)
  distortion   draw a wave-distorted copy of a picture (or its wave moving)
  rule         draw a rule graphic (an 8-bit grey PNG) for "add"

every command also takes:
  --module PATH  the module file to load (default: libfxplugin.so, on Windows
                 fxplugin.dll, beside the program's directory)
  --quiet, -q    print nothing but warnings and errors
  --strict       treat as errors the values the module did not take as given:
                 an option it never read or read as another type, a number it
                 cut to a whole number (a warning otherwise)
  --help         this text; "zanhost COMMAND --help" for a command's

pictures: PNG (any colour type), JPEG and still WebP files, told apart by
their content, not their name (a build without libjpeg or libwebp names the
formats it reads); at most 16384 pixels a side and 67108864 pixels in all.
Grey and palette pictures become 32-bit pixels, 16-bit channels are cut to 8
bits. Output is 8-bit RGBA PNG, RGB where every pixel is opaque (rule
graphics: 8-bit grey).

files: a run that fails or is interrupted leaves no partial file and removes
the folders it made. Output is written through symbolic links; a FIFO or
device (-o /dev/stdout) is written into, never replaced. Each output folder
keeps a list of what zanhost wrote there (.zanhost-files), so that a re-run
removes the frames of an earlier run it does not write again, and nothing else.

pages: each index.html works straight from the file system. Its players show
the frames at their times (a transition's ticks are milliseconds; a function's
frames are 50 ms apart) with play/pause, looping; the slider scrubs, the left
and right arrow keys step one frame, and "#play" at the end of the page's
address starts every player.

animations: --animation FILE.webp (transition, and the functions with
--frames) also writes a looping animated WebP, one frame per frame, each
lasting until the next frame's time. It is lossless, so that it shows exactly
the pixels of the PNG frames (lossy WebP would smear the soft edges and the
levels a preview is there to judge); the file is larger for it.

exit status: 0 done, 1 the run failed (bad file, error raised by the module),
2 the command line is wrong (or, with --strict, a value was not taken).
)";

constexpr const char kDemo[] =
    R"(usage: zanhost demo [--out DIR] [--size WxH] [--frames N] [--module PATH]

Makes two sample pictures with some transparency and a radial rule picture,
runs the transitions "add", "brightness" and "test" and the functions "blur",
"blur_alpha" and "distortion" on them, and writes under DIR: each
transition's frames, contact sheet and animation.webp, every kind of rule
graphic (rules/) beside an "add" that uses one of them (add-clock/), blur and
distortion in motion (blur-motion/, distortion-motion/), each function's
picture before and after, and an index.html that shows them all with players
(open it in a browser, add #play to start them; no server needed).

  --out DIR      where to write (default demo-out)
  --size WxH     size of the sample pictures (default 192x128, each side 8 to
                 4096)
  --frames N     frames per transition and per function in motion (default
                 24, 2 to 1000)
)";

constexpr const char kTransition[] =
    R"(usage: zanhost transition NAME --from A.png --to B.png --out DIR
         [--option KEY=VALUE ...] [--rule R.png] [--frames N | --at T[,T...]]
         [--easing linear|in|out|in-out] [--band HEIGHT] [--layer-type N]
         [--animation FILE.webp] [--module PATH]

Runs transition NAME ("add", "brightness" or "test") from picture A to
picture B (both of one size) and writes into DIR its frames (frame-NNN.png),
a contact sheet (contact.png), the pictures it used (input-from.png,
input-to.png and, for "add", input-rule.png) and an index.html with a player.

  --option KEY=VALUE  a transition option, passed as a script would: whole
                      numbers as integers, other numbers as reals, any other
                      text as a string; repeat for each option
  --rule R.png        for "add": registers the picture as the rule graphic
                      named by option "rule" (which defaults to the file name)
  --frames N          frames evenly spaced from 0 to the option "time"
                      (default 24, 2 to 10000)
  --at T[,T...]       only the frames at these times (ticks since the start,
                      0 to 2147483647), each from a fresh start
  --easing CURVE      warp the clock fed to the transition (default linear)
  --band HEIGHT       lines per band handed to the transition (default 32,
                      1 to 1048576)
  --layer-type N      layer type passed to the transition (default 0). With 0
                      the layers are opaque: every frame, the contact sheet and
                      the page are opaque from the first frame to the last,
                      whatever alpha the pictures have. Nonzero treats alpha:
                      it is kept in every frame.
  --animation FILE.webp  also write the frames as a looping animated WebP,
                      lossless (see "zanhost --help"); --at times must then
                      increase

A rule picture of another size than A and B is stretched to their size.
Options the transition never read, or could not take as given (text where it
reads a number, 2.5 where it reads a whole number), are named in warnings.

options of each transition:
  add         time (ticks, required), vague (default 64), add ("in" or "out",
              required), rule (name of the rule graphic, required)
  brightness  time (required), vague (default 64), blur (radius of the box
              blur of the rule, 0 to half the smaller side, default 0),
              rule ("fore_light", "fore_dark", "back_light" or "back_dark",
              required)
  test        time (required); maxh, maxomega, bgcolor1, bgcolor2 and
              testtype are read but change nothing

example:
  zanhost transition add --from a.png --to b.png --rule wipe.png \
      --option time=1000 --option add=in --frames 12 --out add-out
)";

constexpr const char kBlur[] = R"(usage: zanhost blur IN.png X [Y] -o OUT.png [--module PATH]
       zanhost blur IN.png X [Y] --frames N --out DIR [--animation FILE.webp]

Calls blur(layer, X[, Y]) on a Layer holding the picture: a box blur over
(2X+1) x (2Y+1) pixels (cut off at the edges), every channel alike, alpha
too; Y defaults to X. 2X may not exceed the width nor 2Y the height. A real
radius is cut to a whole number (2.9 is 2), with a warning.

Each mean is rounded down and may come out one less: where the window holds a
pixel count that is no power of two, a flat area loses one level in every
channel above 0, so flat white (255) becomes 254 and opaque alpha 254. To keep
flat colours and alpha exact, use blur_alpha.

In motion (--frames N, 2 to 1000, and --out DIR): N frames whose radii grow
from 0 to X and Y (each cut to a whole number), the last exactly the -o
picture, written into DIR as frame-NNN.png, contact.png, input-before.png and
an index.html with a player (frames 50 ms apart); -o may be given too.
--animation writes them as a looping animated WebP (see "zanhost --help").

examples:
  zanhost blur photo.png 3 -o soft.png
  zanhost blur photo.png 8 --frames 16 --out soften --animation soften.webp
)";

constexpr const char kBlurAlpha[] =
    R"(usage: zanhost blur_alpha IN.png X [Y] -o OUT.png [--module PATH]
       zanhost blur_alpha IN.png X [Y] --frames N --out DIR [--animation FILE.webp]

Calls blur_alpha(layer, X[, Y]): the box blur of "blur" with each colour
weighted by its pixel's alpha, so transparent pixels lend no colour; where a
whole window is transparent the colour stays. Alpha is the exact mean, rounded
down, and colours are exact too, so flat colours and alpha are kept. Pick it
for sprites and anything with transparency or flat areas; "blur" treats alpha
as a fourth colour and loses a level in flat areas. --frames, --out and
--animation work as for "blur" (see "zanhost blur --help").

example: zanhost blur_alpha sprite.png 2 1 -o soft.png
)";

constexpr const char kDistortion[] =
    R"(usage: zanhost distortion SRC.png DST.png PHASE TOP BOTTOM [OPACITY]
         [--screen-height H] -o OUT.png [--module PATH]
       zanhost distortion ... --frames N --out DIR [--animation FILE.webp]

Calls distortion(source, destination, PHASE, TOP, BOTTOM[, OPACITY]): draws a
wave-distorted copy of SRC into a Layer holding DST (same size) and writes the
result. PHASE is in turns of the wave; TOP and BOTTOM are the wave's period in
rows at the top and at the bottom of the screen; OPACITY (default 255, opaque)
blends the copy over DST.

  --screen-height H  the screen height over which the period runs (default:
                     the picture's height; 1 to 1048576)
  --frames N         N frames (2 to 1000) whose phase runs from PHASE towards
                     PHASE + 1: one turn of the wave, so the loop is seamless;
                     the first is exactly the -o picture. They go into --out
                     DIR as frame-NNN.png, contact.png, input-source.png,
                     input-destination.png and an index.html with a player
                     (frames 50 ms apart); -o may be given too
  --animation FILE.webp  the frames as a looping animated WebP as well

examples:
  zanhost distortion a.png a.png 0.25 24 64 -o wavy.png
  zanhost distortion a.png a.png 0 24 64 --frames 24 --out waves
)";

constexpr const char kRule[] =
    R"(usage: zanhost rule KIND --size WxH -o OUT.png [--invert] [options]

Draws a rule graphic for transition "add" and writes it as an 8-bit grey PNG
whose levels span exactly 0 to 255. Dark parts change first, so each kind
below says where the change starts.

  linear   a straight wipe towards --angle (degrees; 0, the default: left to
           right; 90: top to bottom)
  radial   from the centre outwards, in circles
  clock    a clock hand sweeping clockwise from --angle (degrees from twelve
           o'clock, default 0)
  blinds   --count stripes (default 8) at once, each wiped towards --angle
  diamond  from the centre outwards, in diamonds
  checker  --count cells across (default 8): one colour's squares, growing
           from their centres, then the others'
  spiral   from the centre outwards along a spiral of --turns (default 2)
  noise    random blotches: --seed (default 1) picks the pattern, --smooth
           RADIUS (default 2; 0: single pixels) blurs it, and the result is
           stretched over the full range

  --size WxH  the picture's size (each side 1 to 16384)
  --invert    light parts change first instead

example:
  zanhost rule clock --size 640x480 --angle 90 -o clock.png
  zanhost transition add --from a.png --to b.png --rule clock.png \
      --option time=1000 --option add=in --out clock-out
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
  if (command == "rule") {
    return kRule;
  }
  return nullptr;
}

}  // namespace zanhost::cli
