#include "tools/picture_files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <stdexcept>
#include <system_error>

#include "host/picture_reader.h"
#include "host/png_writer.h"
#include "tools/cli_error.h"
#include "tools/output_file.h"
#include "tools/run_record.h"

namespace zanhost::cli {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void CannotRead(const std::string &path, const std::string &reason) {
  throw RunError("cannot read " + Quoted(path) + ": " + reason);
}

}  // namespace

PixelBuffer LoadPicture(const std::string &path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_type::not_found) {
    CannotRead(path, "there is no such file");
  }
  if (status.type() == fs::file_type::directory) {
    CannotRead(path, "it is a folder");
  }
  errno = 0;
  if (!std::ifstream(path, std::ios::binary)) {
    CannotRead(path, errno != 0 ? std::strerror(errno) : "it cannot be opened");
  }
  try {
    return ReadPicture(path);
  } catch (const std::bad_alloc &) {
    throw RunError(Quoted(path) + ": not enough memory for the picture");
  } catch (const std::runtime_error &decodeError) {
    throw RunError(decodeError.what());
  }
}

std::vector<PixelBuffer> LoadPictures(const std::vector<std::string> &paths) {
  std::vector<std::future<PixelBuffer>> loads;
  for (const std::string &path : paths) {
    loads.push_back(std::async(std::launch::async, LoadPicture, path));
  }
  std::vector<PixelBuffer> pictures;
  for (std::future<PixelBuffer> &load : loads) {
    pictures.push_back(load.get());
  }
  return pictures;
}

void SavePicture(const std::string &path, const PixelBuffer &picture) {
  WriteOutputFile(path, EncodePng(picture));
}

void RequireSameSize(const PixelBuffer &first, const std::string &firstName,
                     const PixelBuffer &second, const std::string &secondName) {
  if (first.Width() != second.Width() || first.Height() != second.Height()) {
    throw RunError("pictures differ in size: " + Quoted(firstName) + " is " + SizeText(first) +
                   ", " + Quoted(secondName) + " is " + SizeText(second));
  }
}

void MakeDirectory(const std::string &path) {
  // Each missing level, outermost first, so that Undo can remove them again.
  std::vector<fs::path> missing;
  std::error_code error;
  fs::path normal = fs::path(path).lexically_normal();
  if (!normal.has_filename()) {
    normal = normal.parent_path();
  }
  for (fs::path level = normal; !level.empty(); level = level.parent_path()) {
    if (fs::exists(fs::symlink_status(level, error)) || level == level.parent_path()) {
      break;
    }
    missing.insert(missing.begin(), level);
  }
  for (const fs::path &level : missing) {
    if (!fs::create_directory(level, error) && !fs::is_directory(level)) {
      break;
    }
    RunRecord::Get().NoteCreatedFolder(level.string());
  }
  if (fs::is_directory(normal, error)) {
    return;
  }
  // Name the file that stands where a folder is needed, if one does.
  std::string reason = error ? error.message() : "it cannot be created";
  for (fs::path level = normal; !level.empty(); level = level.parent_path()) {
    if (fs::exists(fs::status(level, error))) {
      if (!fs::is_directory(level, error)) {
        reason = level == normal ? "a file has that name"
                                 : Quoted(level.generic_string()) + " is not a folder";
      }
      break;
    }
    if (level == level.parent_path()) {
      break;
    }
  }
  throw RunError("cannot make folder " + Quoted(path) + ": " + reason);
}

void SaveText(const std::string &path, const std::string &text) {
  WriteOutputFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string SizeText(const PixelBuffer &picture) {
  return std::to_string(picture.Width()) + "x" + std::to_string(picture.Height());
}

}  // namespace zanhost::cli
