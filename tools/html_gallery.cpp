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
)";

// Wires each slider to its frame picture and label.
constexpr const char kScript[] = R"(document.querySelectorAll('.player').forEach(function (player) {
  var frames = JSON.parse(player.dataset.frames);
  var labels = JSON.parse(player.dataset.labels);
  var picture = player.querySelector('img');
  var caption = player.querySelector('output');
  player.querySelector('input').addEventListener('input', function (event) {
    picture.src = frames[event.target.value];
    caption.textContent = labels[event.target.value];
  });
});
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

void TransitionSection(std::ostream &out, const GalleryTransition &transition) {
  std::vector<std::string> paths;
  std::vector<std::string> labels;
  for (const GalleryFrame &frame : transition.frames) {
    paths.push_back(frame.path);
    labels.push_back(frame.label);
  }
  out << "<section><h2>transition <code>" << EscapeHtml(transition.name) << "</code></h2>\n"
      << "<p>options: <code>" << EscapeHtml(transition.options) << "</code></p>\n"
      << "<img class=\"sheet\" src=\"" << EscapeHtml(transition.contactSheet)
      << "\" alt=\"contact sheet\">\n";
  if (paths.empty()) {
    out << "</section>\n";
    return;
  }
  out << "<div class=\"player\" data-frames=\"" << EscapeHtml(JsonArray(paths))
      << "\" data-labels=\"" << EscapeHtml(JsonArray(labels)) << "\">\n"
      << "<img class=\"pic\" src=\"" << EscapeHtml(paths.front()) << "\" alt=\"frame\">\n"
      << "<input type=\"range\" min=\"0\" max=\"" << paths.size() - 1 << "\" value=\"0\">\n"
      << "<output>" << EscapeHtml(labels.front()) << "</output></div></section>\n";
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
  for (const GalleryTransition &transition : gallery.transitions) {
    TransitionSection(out, transition);
  }
  for (const GalleryFunction &function : gallery.functions) {
    FunctionSection(out, function);
  }
  out << "<script>\n" << kScript << "</script>\n</body></html>\n";
  return out.str();
}

}  // namespace zanhost::cli
