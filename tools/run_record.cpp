#include "tools/run_record.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "tools/cli_error.h"

namespace zanhost::cli {
namespace {

namespace fs = std::filesystem;

// The path of `file` inside `folder`, or empty when it lies elsewhere.
std::string RelativeInside(const std::string &file, const std::string &folder) {
  const fs::path relative =
      fs::path(file).lexically_normal().lexically_relative(fs::path(folder).lexically_normal());
  if (relative.empty() || relative.is_absolute() || *relative.begin() == "..") {
    return "";
  }
  return relative.generic_string();
}

// A manifest line zanhost may act on: a plain relative path that stays inside.
bool IsSafeEntry(const std::string &entry) {
  const fs::path path(entry);
  if (entry.empty() || path.is_absolute() || path.has_root_name()) {
    return false;
  }
  return std::none_of(path.begin(), path.end(),
                      [](const fs::path &part) { return part == ".." || part == "."; });
}

// Lines "SIZE PATH": the size the file had when zanhost wrote it.
Manifest ReadManifest(const std::string &folder) {
  Manifest entries;
  std::ifstream file(fs::path(folder) / kManifestName);
  uintmax_t size = 0;
  std::string path;
  while (file >> size && file.get() == ' ' && std::getline(file, path)) {
    if (IsSafeEntry(path)) {
      entries[path] = size;
    }
  }
  return entries;
}

void WriteManifest(const std::string &folder, const Manifest &entries) {
  std::error_code error;
  if (!fs::is_directory(folder, error)) {
    return;
  }
  std::ofstream file(fs::path(folder) / kManifestName, std::ios::trunc);
  for (const auto &[path, size] : entries) {
    file << size << ' ' << path << '\n';
  }
}

// Removes a file zanhost wrote, never a link, folder or device put in its
// place, nor a file of another size (someone else's by now).
void RemoveOwnFile(const fs::path &path, uintmax_t size) {
  std::error_code error;
  if (fs::symlink_status(path, error).type() == fs::file_type::regular &&
      fs::file_size(path, error) == size && !error) {
    fs::remove(path, error);
  }
}

uintmax_t SizeOf(const fs::path &path) {
  std::error_code error;
  const uintmax_t size = fs::file_size(path, error);
  return error ? 0 : size;
}

}  // namespace

RunRecord &RunRecord::Get() {
  static RunRecord record;
  return record;
}

void RunRecord::NoteTemporary(const std::string &path) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (undone_) {
    throw RunError("interrupted");
  }
  temporaries_.insert(path);
}

void RunRecord::ForgetTemporary(const std::string &path) {
  const std::lock_guard<std::mutex> lock(mutex_);
  temporaries_.erase(path);
}

bool RunRecord::MoveIntoPlace(const std::string &temporary, const std::string &path,
                              std::string &error) {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::error_code code;
  if (!undone_) {
    fs::rename(temporary, path, code);
  }
  if (undone_ || code) {
    error = undone_ ? "interrupted" : code.message();
    fs::remove(temporary, code);
    temporaries_.erase(temporary);
    return false;
  }
  temporaries_.erase(temporary);
  return true;
}

void RunRecord::NoteWritten(const std::string &path) {
  const std::lock_guard<std::mutex> lock(mutex_);
  written_.push_back(path);
}

void RunRecord::NoteCreatedFolder(const std::string &path) {
  const std::lock_guard<std::mutex> lock(mutex_);
  createdFolders_.push_back(path);
}

void RunRecord::ManageFolder(const std::string &folder) {
  Manifest earlier = ReadManifest(folder);
  const std::lock_guard<std::mutex> lock(mutex_);
  managed_.emplace(folder, std::move(earlier));
}

void RunRecord::WriteManifests(bool keepEarlier) {
  for (const auto &[folder, earlier] : managed_) {
    Manifest now;
    for (const std::string &path : written_) {
      const std::string entry = RelativeInside(path, folder);
      if (!entry.empty()) {
        now[entry] = SizeOf(path);
      }
    }
    for (const auto &[entry, size] : earlier) {
      if (keepEarlier) {
        now.emplace(entry, size);
      } else if (now.count(entry) == 0) {
        RemoveOwnFile(fs::path(folder) / entry, size);
      }
    }
    WriteManifest(folder, now);
  }
}

void RunRecord::Commit() {
  const std::lock_guard<std::mutex> lock(mutex_);
  WriteManifests(false);
  written_.clear();
  createdFolders_.clear();
  managed_.clear();
}

void RunRecord::Undo() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (undone_) {
    return;
  }
  undone_ = true;
  std::error_code error;
  for (const std::string &temporary : temporaries_) {
    fs::remove(temporary, error);
  }
  temporaries_.clear();
  for (auto folder = createdFolders_.rbegin(); folder != createdFolders_.rend(); ++folder) {
    for (const std::string &path : written_) {
      if (!RelativeInside(path, *folder).empty()) {
        RemoveOwnFile(path, SizeOf(path));
      }
    }
    fs::remove(*folder, error);
  }
  WriteManifests(true);
}

}  // namespace zanhost::cli
