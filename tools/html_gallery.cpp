#include "tools/html_gallery.h"

#include <sstream>

namespace zanhost::cli {
namespace {

constexpr const char kStyle[] =
    R"(body{font-family:sans-serif;background:#16181b;color:#e8e8e8;margin:2em}
h1{font-weight:normal}h2{margin-top:2em;border-bottom:1px solid #444}
code{color:#9fd6ff}
figure{display:inline-block;margin:0 1em 1em 0;vertical-align:top}
figcaption{font-size:90%;color:#bbb}
img.pic{background:repeating-conic-gradient(#999 0 25%,#666 0 50%) 0 0/16px 16px;
image-rendering:pixelated;min-width:192px;max-width:100%}
img.sheet{max-width:100%}
.player input{width:min(100%,480px);display:block}
.player button{min-width:5em}
)";

// Wires each player: the slider, the play/pause button (frames shown at their
// times, from a clock, so slow timers do not stretch the loop), the arrow keys.
constexpr const char kScript[] = R"((function () {
  var players = [];
  var current = null;
  document.querySelectorAll('.player').forEach(function (player) {
    var frames = JSON.parse(player.dataset.frames);
    var labels = JSON.parse(player.dataset.labels);
    var times = JSON.parse(player.dataset.times);
    var picture = player.querySelector('img');
    var caption = player.querySelector('output');
    var slider = player.querySelector('input');
    var button = player.querySelector('button');
    // Each frame lasts until the next one's time; the last as long as the one before.
    var starts = [];
    var total = 0;
    frames.forEach(function (frame, i) {
      starts.push(total);
      var next = i + 1 < times.length ? times[i + 1] - times[i]
               : times.length > 1 ? times[i] - times[i - 1] : 100;
      total += Math.max(0, next);
    });
    if (total <= 0) {
      total = 100 * frames.length;
      starts = starts.map(function (s, i) { return 100 * i; });
    }
    var index = 0;
    var timer = null;
    var origin = 0;
    function show(i) {
      index = (i % frames.length + frames.length) % frames.length;
      picture.src = frames[index];
      caption.textContent = labels[index];
      slider.value = index;
    }
    function step() {
      var elapsed = (performance.now() - origin) % total;
      var i = frames.length - 1;
      while (i > 0 && starts[i] > elapsed) i--;
      if (i !== index) show(i);
      var end = i + 1 < frames.length ? starts[i + 1] : total;
      timer = setTimeout(step, Math.max(1, end - elapsed));
    }
    function play() {
      if (timer !== null) return;
      origin = performance.now() - starts[index];
      button.textContent = 'pause';
      step();
    }
    function pause() {
      clearTimeout(timer);
      timer = null;
      button.textContent = 'play';
    }
    button.addEventListener('click', function () {
      current = controls;
      if (timer === null) play(); else pause();
    });
    slider.addEventListener('input', function () {
      current = controls;
      pause();
      show(Number(slider.value));
    });
    var controls = {
      play: play,
      step: function (by) { pause(); show(index + by); }
    };
    players.push(controls);
  });
  current = players[0] || null;
  document.addEventListener('keydown', function (event) {
    if (current === null || (event.key !== 'ArrowLeft' && event.key !== 'ArrowRight')) return;
    event.preventDefault();
    current.step(event.key === 'ArrowRight' ? 1 : -1);
  });
  if (location.hash === '#play') players.forEach(function (p) { p.play(); });
})();
)";

// Text made safe inside HTML text and double-quoted attributes.
std::string EscapeHtml(const std::string &text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

// A JSON array of strings (the page's data attributes hold it escaped).
std::string JsonArray(const std::vector<std::string> &items) {
  std::string json = "[";
  for (const std::string &item : items) {
    json += json.size() > 1 ? "," : "";
    json += '"';
    for (char c : item) {
      if (c == '"' || c == '\\') {
        json += '\\';
      }
      json += c;
    }
    json += '"';
  }
  return json + "]";
}

void Figure(std::ostream &out, const std::string &path, const std::string &caption) {
  out << "<figure><img class=\"pic\" src=\"" << EscapeHtml(path) << "\" alt=\""
      << EscapeHtml(caption) << "\"><figcaption>" << EscapeHtml(caption)
      << "</figcaption></figure>\n";
}

void PlayerSection(std::ostream &out, const GalleryPlayer &player) {
  std::vector<std::string> paths;
  std::vector<std::string> labels;
  std::string times = "[";
  for (const GalleryFrame &frame : player.frames) {
    paths.push_back(frame.path);
    labels.push_back(frame.label);
    times += (times.size() > 1 ? "," : "") + std::to_string(frame.time);
  }
  out << "<section><h2>" << EscapeHtml(player.kind) << " <code>" << EscapeHtml(player.name)
      << "</code>" << EscapeHtml(player.subtitle) << "</h2>\n"
      << "<p>" << (player.kind == "transition" ? "options: " : "") << "<code>"
      << EscapeHtml(player.options) << "</code></p>\n";
  for (const GalleryPicture &picture : player.inputs) {
    Figure(out, picture.path, picture.caption);
  }
  if (!paths.empty()) {
    out << "<div class=\"player\" data-frames=\"" << EscapeHtml(JsonArray(paths))
        << "\" data-labels=\"" << EscapeHtml(JsonArray(labels)) << "\" data-times=\"" << times
        << "]\">\n"
        << "<img class=\"pic\" src=\"" << EscapeHtml(paths.front()) << "\" alt=\"frame\">\n"
        << "<input type=\"range\" min=\"0\" max=\"" << paths.size() - 1 << "\" value=\"0\">\n"
        << "<button type=\"button\">play</button> <output>" << EscapeHtml(labels.front())
        << "</output></div>\n";
  }
  if (!player.animation.empty()) {
    Figure(out, player.animation, "animated WebP (loops)");
  }
  out << "<img class=\"sheet\" src=\"" << EscapeHtml(player.contactSheet)
      << "\" alt=\"contact sheet\">\n</section>\n";
}

void FunctionSection(std::ostream &out, const GalleryFunction &function) {
  out << "<section><h2>function <code>" << EscapeHtml(function.name) << "</code></h2>\n"
      << "<p><code>" << EscapeHtml(function.call) << "</code></p>\n";
  Figure(out, function.before, "before");
  Figure(out, function.after, "after");
  out << "</section>\n";
}

}  // namespace

std::string GalleryHtml(const Gallery &gallery) {
  std::ostringstream out;
  out << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n<title>"
      << EscapeHtml(gallery.title) << "</title>\n<style>\n"
      << kStyle << "</style></head>\n<body>\n<h1>" << EscapeHtml(gallery.title) << "</h1>\n";
  if (!gallery.inputs.empty()) {
    out << "<section><h2>pictures</h2>\n";
    for (const GalleryPicture &picture : gallery.inputs) {
      Figure(out, picture.path, picture.caption);
    }
    out << "</section>\n";
  }
  for (const GalleryPlayer &player : gallery.players) {
    PlayerSection(out, player);
  }
  for (const GalleryFunction &function : gallery.functions) {
    FunctionSection(out, function);
  }
  out << "<script>\n" << kScript << "</script>\n</body></html>\n";
  return out.str();
}

}  // namespace zanhost::cli
