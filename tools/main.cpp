// zanhost: runs the module's transitions and functions on pictures through
// the reference host. Every failure ends with one "zanhost: ..." line on
// standard error and a nonzero exit status; errors the module raises are shown
// with the text a script would see. A failed or interrupted run leaves none of
// its files behind.
#include <algorithm>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "host/script_error.h"
#include "host/utf16_text.h"
#include "tools/cli_error.h"
#include "tools/commands.h"
#include "tools/console.h"
#include "tools/platform.h"
#include "tools/run_record.h"
#include "tools/usage.h"

namespace zanhost::cli {
namespace {

int RunCommand(const std::string &command, const std::vector<std::string> &words) {
  if (command == "demo") {
    return RunDemoCommand(words);
  }
  if (command == "transition") {
    return RunTransitionCommand(words);
  }
  if (command == "blur" || command == "blur_alpha") {
    return RunBlurCommand(command, words);
  }
  if (command == "distortion") {
    return RunDistortionCommand(words);
  }
  if (command == "rule") {
    return RunRuleCommand(words);
  }
  throw UsageError("unknown command '" + command + "'");
}

// Every failure undoes the run's files first (see run_record.h).
int Fail(const std::string &message, int status, bool withHint = false) {
  RunRecord::Get().Undo();
  SayError(message);
  if (withHint) {
    std::cerr << "Try 'zanhost --help'.\n";
  }
  return status;
}

void UndoRun() {
  RunRecord::Get().Undo();
}

}  // namespace
}  // namespace zanhost::cli

int main(int argc, char **argv) {
  using namespace zanhost::cli;
  const std::vector<std::string> words(argv + std::min(argc, 2), argv + argc);
  if (argc < 2) {
    std::cerr << ProgramUsage();
    return kExitUsage;
  }
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << ProgramUsage();
    return 0;
  }
  CleanUpOnInterrupt(UndoRun);
  try {
    const int status = RunCommand(command, words);
    RunRecord::Get().Commit();
    return status;
  } catch (const StrictError &error) {
    return Fail(error.what(), kExitUsage);
  } catch (const UsageError &error) {
    return Fail(error.what(), kExitUsage, true);
  } catch (const zanhost::ScriptError &error) {
    return Fail(zanhost::ToUtf8(error.Message()), kExitRunFailed);
  } catch (const std::bad_alloc &) {
    return Fail("not enough memory for this run", kExitRunFailed);
  } catch (const std::exception &error) {
    return Fail(error.what(), kExitRunFailed);
  }
}
