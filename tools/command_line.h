// Splits a command's arguments into positional words and named options.
//
// An option is "--name VALUE", "--name=VALUE" or a bare "--name" for flags; a
// one-letter alias ("-o") takes its value from the next word. A word that starts
// with '-' followed by a digit or '.' is a (negative) number, hence positional;
// "--" ends the options. Unknown options, a missing value (the end of the
// words, or a long option where the value belongs), a value given to a flag and
// a single-use option given twice are UsageErrors.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zanhost::cli {

struct OptionSpec {
  std::string name;   // without the leading "--"
  char alias = '\0';  // one-letter form, or none
  bool takesValue = true;
  bool repeatable = false;
};

class ParsedArguments {
 public:
  const std::vector<std::string> &Positionals() const { return positionals_; }
  bool Has(const std::string &name) const { return values_.count(name) != 0; }
  // The option's value; nullopt when absent.
  std::optional<std::string> Value(const std::string &name) const;
  // Every value of a repeatable option, in command-line order.
  std::vector<std::string> Values(const std::string &name) const;

 private:
  friend ParsedArguments ParseArguments(const std::vector<std::string> &,
                                        const std::vector<OptionSpec> &);
  std::vector<std::string> positionals_;
  std::map<std::string, std::vector<std::string>> values_;
};

ParsedArguments ParseArguments(const std::vector<std::string> &words,
                               const std::vector<OptionSpec> &options);

// Whole-word integer within [minimum, maximum]; `what` names the value in the
// UsageError, e.g. "--frames".
int ParseInteger(const std::string &text, const std::string &what, int minimum, int maximum);

// A finite real number within [minimum, maximum]; a UsageError naming `what`.
double ParseReal(const std::string &text, const std::string &what, double minimum, double maximum);

struct PictureSize {
  int width;
  int height;
};

// "WxH" with each side within [minimum, maximum]; `what` is the option, "--size".
PictureSize ParseSize(const std::string &text, const std::string &what, int minimum, int maximum);

}  // namespace zanhost::cli
