// same_pictures A B: whether two folders hold the same PNG files (by relative
// path) and each pair decodes to the same size and pixels; file bytes may
// differ. Compares the Windows build's demo with the Linux build's. Exit 0
// when they match, 1 otherwise, naming each difference.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <set>
#include <string>

#include "host/png_reader.h"

namespace {

std::set<std::string> PngFiles(const std::filesystem::path &root) {
  std::set<std::string> names;
  for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.is_regular_file() && entry.path().extension() == ".png") {
      names.insert(std::filesystem::relative(entry.path(), root).generic_string());
    }
  }
  return names;
}

bool SamePixels(const zanhost::PixelBuffer &a, const zanhost::PixelBuffer &b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) {
    return false;
  }
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (a.Row32(y)[x] != b.Row32(y)[x]) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: same_pictures FOLDER_A FOLDER_B\n");
    return 2;
  }
  try {
    const std::set<std::string> first = PngFiles(argv[1]);
    const std::set<std::string> second = PngFiles(argv[2]);
    int differences = 0;
    for (const std::string &name : first) {
      if (second.count(name) == 0) {
        std::printf("only in %s: %s\n", argv[1], name.c_str());
        ++differences;
      } else if (!SamePixels(zanhost::ReadPng(std::string(argv[1]) + "/" + name),
                             zanhost::ReadPng(std::string(argv[2]) + "/" + name))) {
        std::printf("different pixels: %s\n", name.c_str());
        ++differences;
      }
    }
    for (const std::string &name : second) {
      if (first.count(name) == 0) {
        std::printf("only in %s: %s\n", argv[2], name.c_str());
        ++differences;
      }
    }
    if (first.empty()) {
      std::printf("no pictures in %s\n", argv[1]);
      return 1;
    }
    std::printf("%zu pictures compared, %d differ\n", first.size(), differences);
    return differences == 0 ? 0 : 1;
  } catch (const std::exception &error) {
    std::fprintf(stderr, "same_pictures: %s\n", error.what());
    return 1;
  }
}
