#include "zanhost_fixture.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "host/png_writer.h"

namespace zanhost::cli {
namespace {

std::string ReadWholeFile(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// What the program printed, with Windows line ends (its standard streams
// are in text mode there) read as "\n".
std::string ReadText(const std::string &path) {
  std::string text = ReadWholeFile(path);
#ifdef _WIN32
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
    text.erase(at, 1);
  }
#endif
  return text;
}

#ifdef _WIN32

// One word of a command line as the C runtime's argument parser splits it:
// quoted, with backslashes doubled before a quote and at the end.
std::wstring QuotedWord(const std::wstring &word) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (const wchar_t c : word) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    quoted.push_back(c);
    backslashes = 0;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

HANDLE InheritableOutput(const std::string &path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(std::filesystem::u8path(path).wstring().c_str(), GENERIC_WRITE,
                     FILE_SHARE_READ, &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs the program with its output in the two files; its exit status, or -1.
int RunProgram(const std::string &directory, const std::vector<std::string> &words,
               const std::string &outPath, const std::string &errPath) {
  std::wstring commandLine;
  for (const std::string &word : words) {
    commandLine +=
        (commandLine.empty() ? L"" : L" ") + QuotedWord(std::filesystem::u8path(word).wstring());
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = InheritableOutput(outPath);
  startup.hStdError = InheritableOutput(errPath);
  PROCESS_INFORMATION process{};
  const std::wstring folder = std::filesystem::u8path(directory).wstring();
  const bool started = startup.hStdOutput != INVALID_HANDLE_VALUE &&
                       startup.hStdError != INVALID_HANDLE_VALUE &&
                       CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, folder.c_str(), &startup, &process);
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  if (!started) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  const bool known = GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return known ? static_cast<int>(status) : -1;
}

#else

// Child side of Run: never returns.
[[noreturn]] void ExecProgram(const std::string &directory, const std::vector<std::string> &words,
                              const std::string &outPath, const std::string &errPath) {
  const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err =
      errPath == outPath ? dup(out) : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0 || err < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0 ||
      chdir(directory.c_str()) != 0) {
    _exit(127);
  }
  std::vector<char *> argv;
  for (const std::string &word : words) {
    argv.push_back(const_cast<char *>(word.c_str()));
  }
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

#endif

// The program's path, the words, and "--module" with the built module after
// the command unless `withModule` is false.
std::vector<std::string> ProgramWords(std::vector<std::string> words, bool withModule) {
  if (withModule) {
    words.insert(words.begin() + std::min<size_t>(words.size(), 1), {"--module", MODULE_PATH});
  }
  words.insert(words.begin(), ZANHOST_PATH);
  return words;
}

}  // namespace

void ZanhostTest::SetUp() {
  // A new folder of a random name; create_directory fails on an existing one.
  std::random_device seed;
  for (int attempt = 0; attempt < 100 && directory_.empty(); ++attempt) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zanhost-test-" + std::to_string(seed()));
    if (std::filesystem::create_directory(folder)) {
      directory_ = folder.string();
    }
  }
  ASSERT_FALSE(directory_.empty());
}

void ZanhostTest::TearDown() {
  std::error_code ignored;
  std::filesystem::remove_all(directory_, ignored);
}

#ifdef _WIN32

ProgramResult ZanhostTest::Run(std::vector<std::string> words, bool withModule) const {
  const std::string outPath = directory_ + "/.stdout";
  const std::string errPath = directory_ + "/.stderr";
  const int status =
      RunProgram(directory_, ProgramWords(std::move(words), withModule), outPath, errPath);
  return ProgramResult{status, ReadText(outPath), ReadText(errPath)};
}

#else

ProgramResult ZanhostTest::Run(std::vector<std::string> words, bool withModule) const {
  return Finish(Start(std::move(words), withModule));
}

int ZanhostTest::Start(std::vector<std::string> words, bool withModule) const {
  words = ProgramWords(std::move(words), withModule);
  const pid_t child = fork();
  if (child == 0) {
    ExecProgram(directory_, words, directory_ + "/.stdout", directory_ + "/.stderr");
  }
  return child;
}

ProgramResult ZanhostTest::RunOnTerminal(std::vector<std::string> words) const {
  words = ProgramWords(std::move(words), true);
  const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
  if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) {
    return ProgramResult{-1, "", "no terminal"};
  }
  const std::string side = ptsname(terminal);
  const pid_t child = fork();
  if (child == 0) {
    setsid();
    ExecProgram(directory_, words, side, side);
  }
  std::string shown;
  char buffer[4096];
  ssize_t count;
  // Reading fails (EIO) once the program has closed its side.
  while ((count = read(terminal, buffer, sizeof buffer)) > 0) {
    shown.append(buffer, static_cast<size_t>(count));
  }
  close(terminal);
  ProgramResult result = Finish(child);
  result.out = shown;
  return result;
}

ProgramResult ZanhostTest::Finish(int child) const {
  int status = 0;
  waitpid(child, &status, 0);
  return ProgramResult{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                       ReadText(directory_ + "/.stdout"), ReadText(directory_ + "/.stderr")};
}

#endif

std::string ZanhostTest::WritePicture(const std::string &name, const PixelBuffer &picture) const {
  WritePng(Path(name), picture);
  return Path(name);
}

std::string ZanhostTest::ReadFile(const std::string &name) const {
  return ReadWholeFile(Path(name));
}

std::string ZanhostTest::WriteFile(const std::string &name, const std::string &bytes) const {
  std::ofstream(Path(name), std::ios::binary) << bytes;
  return Path(name);
}

bool ZanhostTest::Exists(const std::string &name) const {
  return std::filesystem::exists(Path(name));
}

std::vector<std::string> ZanhostTest::FilesUnder(const std::string &folder) const {
  std::vector<std::string> files;
  std::error_code ignored;
  for (const auto &entry : std::filesystem::recursive_directory_iterator(Path(folder), ignored)) {
    if (entry.is_regular_file() && entry.path().filename() != ".zanhost-files") {
      files.push_back(
          entry.path().lexically_normal().lexically_relative(directory_).generic_string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

PixelBuffer PatternPicture(int width, int height, uint32_t seed) {
  PixelBuffer picture(width, height, 32);
  uint32_t state = seed * 2654435761u + 1;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      picture.Row32(y)[x] = state;
    }
  }
  return picture;
}

::testing::AssertionResult SamePixels(const PixelBuffer &expected, const PixelBuffer &actual) {
  if (expected.Width() != actual.Width() || expected.Height() != actual.Height()) {
    return ::testing::AssertionFailure()
           << "size " << actual.Width() << "x" << actual.Height() << ", expected "
           << expected.Width() << "x" << expected.Height();
  }
  for (int y = 0; y < expected.Height(); ++y) {
    for (int x = 0; x < expected.Width(); ++x) {
      if (expected.Row32(y)[x] != actual.Row32(y)[x]) {
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") is " << std::hex << actual.Row32(y)[x]
               << ", expected " << expected.Row32(y)[x];
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace zanhost::cli
