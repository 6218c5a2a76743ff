// What every command shares: the options --module, --quiet, --strict, --help,
// required options, and the report of the files written.
#pragma once

#include <string>
#include <vector>

#include "tools/command_line.h"

namespace zanhost::cli {

// Parses the words against the command's own options plus --module PATH,
// --quiet (-q: only warnings and errors), --strict (values the module did not
// take as given are errors) and --help (-h); when --help was given prints the command's help and
// returns false, so the command returns 0 at once.
bool ParseCommand(const std::string &command, const std::vector<std::string> &words,
                  const std::vector<OptionSpec> &own, ParsedArguments &parsed);

// The value of --module, else the module built beside the program.
std::string ModulePathOf(const ParsedArguments &parsed);

// The option's value; a UsageError naming `shown` ("-o OUT.png") when absent.
std::string RequiredValue(const ParsedArguments &parsed, const std::string &name,
                          const std::string &shown);

// The files written, one line per folder on standard output, frames counted:
// "wrote 24 frames, contact.png and index.html to out".
void PrintWritten(const std::vector<std::string> &paths);

}  // namespace zanhost::cli
