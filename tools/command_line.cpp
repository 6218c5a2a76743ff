#include "tools/command_line.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tools/cli_error.h"

namespace zanhost::cli {
namespace {

bool LooksLikeNumber(const std::string &word) {
  return word.size() > 1 && word[0] == '-' &&
         (std::isdigit(static_cast<unsigned char>(word[1])) != 0 || word[1] == '.');
}

const OptionSpec *FindOption(const std::vector<OptionSpec> &options, const std::string &name,
                             char alias) {
  for (const OptionSpec &option : options) {
    if ((alias == '\0' && option.name == name) || (alias != '\0' && option.alias == alias)) {
      return &option;
    }
  }
  return nullptr;
}

// 360, 0.5: as short as it can be written.
std::string FormatReal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

std::optional<std::string> ParsedArguments::Value(const std::string &name) const {
  const auto found = values_.find(name);
  if (found == values_.end()) {
    return std::nullopt;
  }
  return found->second.back();
}

std::vector<std::string> ParsedArguments::Values(const std::string &name) const {
  const auto found = values_.find(name);
  return found == values_.end() ? std::vector<std::string>{} : found->second;
}

ParsedArguments ParseArguments(const std::vector<std::string> &words,
                               const std::vector<OptionSpec> &options) {
  ParsedArguments parsed;
  bool optionsEnded = false;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string &word = words[i];
    if (optionsEnded || word.size() < 2 || word[0] != '-' || LooksLikeNumber(word)) {
      parsed.positionals_.push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    const bool longForm = word.rfind("--", 0) == 0;
    if (!longForm && word.size() != 2) {
      throw UsageError("unknown option '" + word + "'");
    }
    const size_t equals = longForm ? word.find('=') : std::string::npos;
    const std::string name = longForm ? word.substr(2, equals - 2) : std::string();
    const OptionSpec *option = FindOption(options, name, longForm ? '\0' : word[1]);
    if (option == nullptr) {
      throw UsageError("unknown option '" + (longForm ? "--" + name : word) + "'");
    }
    const std::string shown = longForm ? "--" + option->name : word;
    std::string value;
    if (equals != std::string::npos) {
      if (!option->takesValue) {
        throw UsageError("option " + shown + " takes no value");
      }
      value = word.substr(equals + 1);
    } else if (option->takesValue) {
      // A following long option means the value was left out.
      if (i + 1 == words.size() || (words[i + 1].rfind("--", 0) == 0 && words[i + 1].size() > 2)) {
        throw UsageError("option " + shown + " needs a value");
      }
      value = words[++i];
    }
    std::vector<std::string> &slot = parsed.values_[option->name];
    if (!slot.empty() && !option->repeatable) {
      throw UsageError("option " + shown + " given more than once");
    }
    slot.push_back(value);
  }
  return parsed;
}

int ParseInteger(const std::string &text, const std::string &what, int minimum, int maximum) {
  errno = 0;
  char *end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE ||
      std::isspace(static_cast<unsigned char>(text[0])) != 0) {
    throw UsageError(what + " needs a whole number, not '" + text + "'");
  }
  if (value < minimum || value > maximum) {
    throw UsageError(what + " must lie between " + std::to_string(minimum) + " and " +
                     std::to_string(maximum) + ", not " + text);
  }
  return static_cast<int>(value);
}

double ParseReal(const std::string &text, const std::string &what, double minimum, double maximum) {
  char *end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(value) ||
      std::isspace(static_cast<unsigned char>(text[0])) != 0) {
    throw UsageError(what + " needs a number, not '" + text + "'");
  }
  if (value < minimum || value > maximum) {
    throw UsageError(what + " must lie between " + FormatReal(minimum) + " and " +
                     FormatReal(maximum) + ", not " + text);
  }
  return value;
}

PictureSize ParseSize(const std::string &text, const std::string &what, int minimum, int maximum) {
  const size_t x = text.find('x');
  if (x == std::string::npos) {
    throw UsageError(what + " takes WxH, for instance 192x128, not '" + text + "'");
  }
  return PictureSize{ParseInteger(text.substr(0, x), what + " width", minimum, maximum),
                     ParseInteger(text.substr(x + 1), what + " height", minimum, maximum)};
}

}  // namespace zanhost::cli
