// ChooseKernel: Auto takes the fastest path the processor and the kernel both
// have, and a path either lacks falls back to the next slower one.
#include <gtest/gtest.h>

#include "pixels/kernel_path.h"

namespace pixels {
namespace {

using tTag = int();
int Plain() {
  return 0;
}
int Vector128() {
  return 128;
}
int Vector256() {
  return 256;
}
int Vector512() {
  return 512;
}

// The widest of the kernel's paths at or below `widest` that this processor runs.
int Expected(const tKernelSet<tTag> &set, int widest) {
  const struct {
    int width;
    tKernelPath path;
    tTag *kernel;
  } paths[] = {{512, tKernelPath::Vector512, set.vector512},
               {256, tKernelPath::Vector256, set.vector256},
               {128, tKernelPath::Vector128, set.vector128}};
  for (const auto &p : paths) {
    if (p.width <= widest && p.kernel != nullptr && KernelPathAvailable(p.path)) {
      return p.width;
    }
  }
  return 0;
}

TEST(KernelChoiceTest, FallsBackToTheNextSlowerPath) {
  const tKernelSet<tTag> sets[] = {{Plain, Vector128, Vector256, Vector512},
                                   {Plain, Vector128, Vector256, nullptr},
                                   {Plain, Vector128, nullptr, nullptr},
                                   {Plain, nullptr, nullptr, Vector512},
                                   {Plain, nullptr, nullptr, nullptr}};
  for (const tKernelSet<tTag> &set : sets) {
    EXPECT_EQ(ChooseKernel(set, tKernelPath::Auto)(), Expected(set, 512));
    EXPECT_EQ(ChooseKernel(set, tKernelPath::Vector512)(), Expected(set, 512));
    EXPECT_EQ(ChooseKernel(set, tKernelPath::Vector256)(), Expected(set, 256));
    EXPECT_EQ(ChooseKernel(set, tKernelPath::Vector128)(), Expected(set, 128));
    EXPECT_EQ(ChooseKernel(set, tKernelPath::Plain)(), 0);
  }
}

// A processor with AVX-512 has AVX2 and SSE2 as well: the paths nest.
TEST(KernelChoiceTest, PathsNest) {
  if (KernelPathAvailable(tKernelPath::Vector512)) {
    EXPECT_TRUE(KernelPathAvailable(tKernelPath::Vector256));
  }
  if (KernelPathAvailable(tKernelPath::Vector256)) {
    EXPECT_TRUE(KernelPathAvailable(tKernelPath::Vector128));
  }
  EXPECT_TRUE(KernelPathAvailable(tKernelPath::Plain));
  EXPECT_TRUE(KernelPathAvailable(tKernelPath::Auto));
}

}  // namespace
}  // namespace pixels
