// The help texts of the program and of each command.
#pragma once

#include <string>

namespace zanhost::cli {

// The program's overview, listing the commands.
const char *ProgramUsage();

// The command's help; null for an unknown command.
const char *CommandUsage(const std::string &command);

}  // namespace zanhost::cli
