// Runs the built zanhost program in a fresh temporary folder and reads back
// what it printed and wrote.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/pixel_buffer.h"

namespace zanhost::cli {

struct ProgramResult {
  int exitCode;
  std::string out;
  std::string err;
};

class ZanhostTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs zanhost with the words, in the temporary folder, with "--module" and
  // the built module after the command unless `withModule` is false.
  ProgramResult Run(std::vector<std::string> words, bool withModule = true) const;
#ifndef _WIN32
  // Runs zanhost (with the module) with standard output and error on one
  // terminal, as a user sees them; `out` holds what the terminal showed.
  ProgramResult RunOnTerminal(std::vector<std::string> words) const;
  // Run in two halves, so that a test can act while the program runs: the
  // child's process id, then its result once it ends.
  int Start(std::vector<std::string> words, bool withModule = true) const;
  ProgramResult Finish(int child) const;
#endif

  // A path inside the temporary folder.
  std::string Path(const std::string &name) const {
    return directory_ + "/" + name;
  }
  // Writes the picture as a PNG in the temporary folder; returns its path.
  std::string WritePicture(const std::string &name, const PixelBuffer &picture) const;
  // Writes the bytes as a file in the temporary folder; returns its path.
  std::string WriteFile(const std::string &name, const std::string &bytes) const;
  // The file's bytes ("" when it cannot be read).
  std::string ReadFile(const std::string &name) const;
  bool Exists(const std::string &name) const;
  // The regular files under the folder of the temporary folder (paths from
  // the temporary folder, sorted), zanhost's manifest left out.
  std::vector<std::string> FilesUnder(const std::string &folder) const;

 private:
  std::string directory_;
};

// A picture whose every channel differs per pixel, with varying alpha, so
// swaps, flips and lost alpha show.
PixelBuffer PatternPicture(int width, int height, uint32_t seed);

// Both pictures have the same size and pixels.
::testing::AssertionResult SamePixels(const PixelBuffer &expected, const PixelBuffer &actual);

}  // namespace zanhost::cli
