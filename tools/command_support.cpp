#include "tools/command_support.h"

#include <filesystem>
#include <iostream>
#include <map>

#include "tools/cli_error.h"
#include "tools/console.h"
#include "tools/module_session.h"
#include "tools/usage.h"

namespace zanhost::cli {
namespace {

std::vector<OptionSpec> WithCommonOptions(std::vector<OptionSpec> own) {
  own.push_back(OptionSpec{"module"});
  own.push_back(OptionSpec{"help", 'h', false});
  own.push_back(OptionSpec{"quiet", 'q', false});
  own.push_back(OptionSpec{"strict", '\0', false});
  return own;
}

}  // namespace

bool ParseCommand(const std::string &command, const std::vector<std::string> &words,
                  const std::vector<OptionSpec> &own, ParsedArguments &parsed) {
  parsed = ParseArguments(words, WithCommonOptions(own));
  SetQuiet(parsed.Has("quiet"));
  SetStrict(parsed.Has("strict"));
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

std::string JoinedList(const std::vector<std::string> &items) {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
  }
  return text;
}

void PrintWritten(const std::vector<std::string> &paths) {
  // Folders in the order of their first file; frames counted, not listed.
  std::vector<std::string> folders;
  std::map<std::string, std::pair<int, std::vector<std::string>>> contents;
  for (const std::string &path : paths) {
    const std::filesystem::path file(path);
    const std::string folder = file.parent_path().string();
    const std::string name = file.filename().string();
    if (contents.count(folder) == 0) {
      folders.push_back(folder);
    }
    auto &[frames, others] = contents[folder];
    if (name.rfind("frame-", 0) == 0) {
      ++frames;
    } else {
      others.push_back(name);
    }
  }
  for (const std::string &folder : folders) {
    const auto &[frames, others] = contents[folder];
    std::vector<std::string> items;
    if (frames > 0) {
      items.push_back(std::to_string(frames) + (frames == 1 ? " frame" : " frames"));
    }
    items.insert(items.end(), others.begin(), others.end());
    // A lone file, such as "-o OUT.png", is named by its path.
    const bool lone = frames == 0 && others.size() == 1;
    Say("wrote " + (lone ? (folder.empty() ? others[0] : folder + "/" + others[0])
                         : JoinedList(items) + (folder.empty() ? "" : " to " + folder)));
  }
}

}  // namespace zanhost::cli
