// The module files of the Windows builds, read here from their export and
// import tables: each exports exactly the two entries, undecorated, and
// imports system DLLs only, its C++ runtime being linked in. Skips, saying so,
// where a Windows build is absent; FX_WIN32_DLL and FX_WIN64_DLL name other
// files than the default build folders' ones.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "tests/frame/pe_tables.h"

namespace fxtest {
namespace {

struct WindowsBuild {
  const char *name;
  const char *pathVariable;
  const char *defaultPath;
  uint16_t machine;
};

const WindowsBuild kWindowsBuilds[] = {
    {"Win32", "FX_WIN32_DLL", FX_WIN32_DLL_PATH, kPeMachineX86},
    {"Win64", "FX_WIN64_DLL", FX_WIN64_DLL_PATH, kPeMachineX64},
};

class WindowsDllTest : public ::testing::TestWithParam<WindowsBuild> {};

TEST_P(WindowsDllTest, ExportsTheTwoEntriesAndImportsSystemDllsOnly) {
  const char *chosen = std::getenv(GetParam().pathVariable);
  const std::string path = chosen != nullptr ? chosen : GetParam().defaultPath;
  const std::vector<char> file = ReadFileBytes(path);
  if (file.empty()) {
    GTEST_SKIP() << path << " is not built (make windows)";
  }
  PeTables tables;
  ASSERT_TRUE(ReadPeTables(file, tables)) << path << " is no PE file";
  EXPECT_EQ(tables.machine, GetParam().machine);
  EXPECT_EQ(tables.exports, (std::set<std::string>{"V2Link", "V2Unlink"}));
  EXPECT_EQ(tables.imports, (std::set<std::string>{"KERNEL32.dll", "msvcrt.dll"}));
}

INSTANTIATE_TEST_SUITE_P(Builds, WindowsDllTest, ::testing::ValuesIn(kWindowsBuilds),
                         [](const auto &build) { return std::string(build.param.name); });

// A file that is not a PE image, or whose tables point outside it, is refused
// rather than read past its end.
TEST(PeTablesTest, RefusesTruncatedAndForeignFiles) {
  PeTables tables;
  EXPECT_FALSE(ReadPeTables({}, tables));
  EXPECT_FALSE(ReadPeTables({'\x7f', 'E', 'L', 'F', 0, 0, 0, 0}, tables));
  std::vector<char> header(0x40, 0);
  header[0] = 'M';
  header[1] = 'Z';
  header[0x3c] = 0x30;  // no PE signature where the DOS header points
  EXPECT_FALSE(ReadPeTables(header, tables));
  header[0x3d] = 0x7f;  // a PE header past the file's end
  EXPECT_FALSE(ReadPeTables(header, tables));
}

}  // namespace
}  // namespace fxtest
