#include "tools/picture_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "host/png_reader.h"
#include "host/png_writer.h"
#include "tools/cli_error.h"

namespace zanhost::cli {
namespace {

std::string TemporaryName(const std::string &path) {
  return path + ".part" + std::to_string(getpid());
}

void MoveIntoPlace(const std::string &temporary, const std::string &path) {
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    throw RunError("cannot write " + path + ": " + error.message());
  }
}

// Names the real fault instead of the temporary file's name.
void RequireParentDirectory(const std::string &path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  std::error_code error;
  if (!parent.empty() && !std::filesystem::is_directory(parent, error)) {
    throw RunError("cannot write " + path + ": no directory " + parent.string());
  }
}

}  // namespace

PixelBuffer LoadPicture(const std::string &path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    throw RunError("cannot read " + path + ": it is a directory");
  }
  std::ifstream probe(path, std::ios::binary);
  if (!probe) {
    throw RunError("cannot read " + path + ": " + std::strerror(errno));
  }
  try {
    return ReadPng(path);
  } catch (const std::runtime_error &decodeError) {
    throw RunError(decodeError.what());
  }
}

void SavePicture(const std::string &path, const PixelBuffer &picture) {
  RequireParentDirectory(path);
  const std::string temporary = TemporaryName(path);
  try {
    WritePng(temporary, picture);
  } catch (const std::exception &writeError) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw RunError("cannot write " + path + ": " + writeError.what());
  }
  MoveIntoPlace(temporary, path);
}

void RequireSameSize(const PixelBuffer &first, const std::string &firstName,
                     const PixelBuffer &second, const std::string &secondName) {
  if (first.Width() != second.Width() || first.Height() != second.Height()) {
    throw RunError("pictures differ in size: " + firstName + " is " + SizeText(first) + ", " +
                   secondName + " is " + SizeText(second));
  }
}

void MakeDirectory(const std::string &path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error || !std::filesystem::is_directory(path, error)) {
    throw RunError("cannot make directory " + path +
                   (error ? ": " + error.message() : ": a file has that name"));
  }
}

void SaveText(const std::string &path, const std::string &text) {
  RequireParentDirectory(path);
  const std::string temporary = TemporaryName(path);
  {
    std::ofstream file(temporary, std::ios::binary);
    file << text;
    if (!file.flush()) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      throw RunError("cannot write " + path);
    }
  }
  MoveIntoPlace(temporary, path);
}

std::string SizeText(const PixelBuffer &picture) {
  return std::to_string(picture.Width()) + "x" + std::to_string(picture.Height());
}

}  // namespace zanhost::cli
