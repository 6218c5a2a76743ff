#include "tools/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "tools/cli_error.h"
#include "tools/console.h"
#include "tools/platform.h"
#include "tools/run_record.h"

namespace zanhost::cli {
namespace {

namespace fs = std::filesystem;

// Links nest at most this deep, as on most systems.
constexpr int kMostLinks = 40;

struct FileCloser {
  void operator()(std::FILE *file) const { std::fclose(file); }
};

[[noreturn]] void CannotWrite(const std::string &path, const std::string &reason) {
  throw RunError("cannot write " + Quoted(path) + ": " + reason);
}

// The file a write of `path` reaches: `path` itself, or the end of its links.
fs::path FollowLinks(const std::string &path) {
  fs::path target(path);
  std::error_code error;
  for (int depth = 0; fs::symlink_status(target, error).type() == fs::file_type::symlink; ++depth) {
    const fs::path next = fs::read_symlink(target, error);
    if (error || depth == kMostLinks) {
      CannotWrite(path, "the symbolic link cannot be followed");
    }
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target;
}

// Writes the bytes into the file, created or truncated; the C reason on failure.
bool WriteBytes(const fs::path &path, const std::vector<uint8_t> &bytes, std::string &reason) {
  errno = 0;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.string().c_str(), "wb"));
  if (!file) {
    reason = errno != 0 ? std::strerror(errno) : "it cannot be opened";
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                       std::fflush(file.get()) == 0;
  if (!written) {
    reason = errno != 0 ? std::strerror(errno) : "the write failed";
  }
  if (std::fclose(file.release()) != 0 && written) {
    reason = errno != 0 ? std::strerror(errno) : "the write failed";
    return false;
  }
  return written;
}

}  // namespace

std::string Quoted(const std::string &path) {
  return "\"" + path + "\"";
}

void WriteOutputFile(const std::string &path, const std::vector<uint8_t> &bytes) {
  // The system follows every link here, also those only it can resolve
  // (/dev/stdout on a pipe).
  std::error_code error;
  const fs::file_type type = fs::status(path, error).type();
  if (type == fs::file_type::directory) {
    CannotWrite(path, "it is a folder");
  }
  std::string reason;
  if (type != fs::file_type::not_found && type != fs::file_type::regular &&
      type != fs::file_type::none) {
    KeepStandardOutputForData();
    if (!WriteBytes(path, bytes, reason)) {
      CannotWrite(path, reason);
    }
    RunRecord::Get().NoteWritten(path);
    return;
  }
  const fs::path target = FollowLinks(path);
  const fs::path parent = target.parent_path();
  if (!parent.empty() && !fs::is_directory(parent, error)) {
    CannotWrite(path,
                (fs::exists(parent, error) ? Quoted(parent.string()) + " is not a folder"
                                           : "there is no folder " + Quoted(parent.string())));
  }
  const std::string temporary = target.string() + ".part" + std::to_string(ProcessId());
  RunRecord &record = RunRecord::Get();
  record.NoteTemporary(temporary);
  if (!WriteBytes(temporary, bytes, reason)) {
    fs::remove(temporary, error);
    record.ForgetTemporary(temporary);
    CannotWrite(path, reason);
  }
  if (!record.MoveIntoPlace(temporary, target.string(), reason)) {
    CannotWrite(path, reason);
  }
  record.NoteWritten(path);
}

}  // namespace zanhost::cli
