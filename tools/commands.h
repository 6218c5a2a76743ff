// The program's commands. Each takes the words after its name, returns the
// exit status, and reports failures by throwing (UsageError, RunError, the
// host's ScriptError).
#pragma once

#include <string>
#include <vector>

namespace zanhost::cli {

int RunDemoCommand(const std::vector<std::string> &words);
int RunTransitionCommand(const std::vector<std::string> &words);
// "blur" or "blur_alpha".
int RunBlurCommand(const std::string &function, const std::vector<std::string> &words);
int RunDistortionCommand(const std::vector<std::string> &words);
int RunRuleCommand(const std::vector<std::string> &words);

}  // namespace zanhost::cli
