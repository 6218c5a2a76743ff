// Compares two pictures and reports the first differing pixel, so a failure
// names a place instead of printing thousands of words.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/layer_pictures.h"

namespace fxtest {

inline ::testing::AssertionResult SamePicture(const Picture &actual, const Picture &expected,
                                              int width) {
  if (actual.size() != expected.size()) {
    return ::testing::AssertionFailure()
           << "sizes differ: " << actual.size() << " vs " << expected.size();
  }
  size_t differing = 0;
  size_t first = 0;
  for (size_t k = actual.size(); k-- > 0;) {
    if (actual[k] != expected[k]) {
      ++differing;
      first = k;
    }
  }
  if (differing == 0) {
    return ::testing::AssertionSuccess();
  }
  char detail[96];
  std::snprintf(detail, sizeof detail, "first at (%zu, %zu): %08X, expected %08X",
                first % static_cast<size_t>(width), first / static_cast<size_t>(width),
                actual[first], expected[first]);
  return ::testing::AssertionFailure() << differing << " pixels differ; " << detail;
}

}  // namespace fxtest
