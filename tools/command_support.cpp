#include "tools/command_support.h"

#include <iostream>

#include "tools/cli_error.h"
#include "tools/module_session.h"
#include "tools/usage.h"

namespace zanhost::cli {
namespace {

std::vector<OptionSpec> WithCommonOptions(std::vector<OptionSpec> own) {
  own.push_back(OptionSpec{"module"});
  own.push_back(OptionSpec{"help", 'h', false});
  return own;
}

}  // namespace

bool ParseCommand(const std::string &command, const std::vector<std::string> &words,
                  const std::vector<OptionSpec> &own, ParsedArguments &parsed) {
  parsed = ParseArguments(words, WithCommonOptions(own));
  if (parsed.Has("help")) {
    std::cout << CommandUsage(command);
    return false;
  }
  return true;
}

std::string ModulePathOf(const ParsedArguments &parsed) {
  return parsed.Value("module").value_or(DefaultModulePath());
}

std::string RequiredValue(const ParsedArguments &parsed, const std::string &name,
                          const std::string &shown) {
  const std::optional<std::string> value = parsed.Value(name);
  if (!value || value->empty()) {
    throw UsageError("missing " + shown);
  }
  return *value;
}

void PrintWritten(const std::vector<std::string> &paths) {
  for (const std::string &path : paths) {
    std::cout << "wrote " << path << '\n';
  }
}

}  // namespace zanhost::cli
