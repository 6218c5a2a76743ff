// What zanhost does to the files around its output: streams and devices are
// written into, never replaced; links are written through; a failed or
// interrupted run leaves no partial file and no folder it made; a re-run
// leaves no stale frame and never removes a file it did not write.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "host/png_reader.h"
#include "zanhost_fixture.h"

namespace zanhost::cli {
namespace {

namespace fs = std::filesystem;

class OutputFilesTest : public ZanhostTest {
 protected:
  void SetUp() override {
    ZanhostTest::SetUp();
    picture_ = PatternPicture(9, 7, 4);
    WritePicture("a.png", picture_);
    WritePicture("b.png", PatternPicture(9, 7, 5));
  }

  std::vector<std::string> Transition(const std::string &out, const std::string &frames) const {
    return {"transition", "test", "--from",   "a.png",   "--to",     "b.png",
            "--out",      out,    "--option", "time=90", "--frames", frames};
  }

  PixelBuffer picture_{0, 0, 32};
};

TEST_F(OutputFilesTest, FifoIsWrittenIntoNotReplaced) {
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
  std::future<std::string> read = std::async(std::launch::async, [this] {
    std::ifstream pipe(Path("pipe"), std::ios::binary);
    std::ostringstream bytes;
    bytes << pipe.rdbuf();
    return bytes.str();
  });
  const ProgramResult result = Run({"blur", "a.png", "0", "-o", "pipe"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(read.get().substr(1, 3), "PNG");
  EXPECT_TRUE(fs::is_fifo(Path("pipe")));
}

TEST_F(OutputFilesTest, DeviceStaysADevice) {
  const ProgramResult result = Run({"blur", "a.png", "0", "-o", "/dev/null"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(result.out, "");  // the note went to standard error, away from a stream
}

TEST_F(OutputFilesTest, SymbolicLinkIsWrittenThrough) {
  fs::create_directory(Path("pictures"));
  fs::create_symlink("pictures/real.png", Path("link.png"));
  ASSERT_EQ(Run({"blur", "a.png", "0", "-o", "link.png"}).exitCode, 0);
  EXPECT_TRUE(fs::is_symlink(Path("link.png")));
  EXPECT_TRUE(SamePixels(picture_, ReadPng(Path("pictures/real.png"))));
}

TEST_F(OutputFilesTest, FailedRunRemovesTheFolderItMade) {
  const ProgramResult result =
      Run({"transition", "add", "--from", "a.png", "--to", "b.png", "--out", "new/out", "--option",
           "time=9", "--option", "add=bad", "--option", "rule=a.png"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_FALSE(Exists("new"));
}

TEST_F(OutputFilesTest, RerunWithFewerFramesRemovesTheStaleOnesOnly) {
  ASSERT_EQ(Run(Transition("out", "5")).exitCode, 0);
  WriteFile("out/notes.txt", "mine");
  WriteFile("out/frame-004.png", "the user's own now");
  WriteFile("out/frame-009.png", "not zanhost's");
  ASSERT_EQ(Run(Transition("out", "3")).exitCode, 0);
  EXPECT_EQ(FilesUnder("out"),
            (std::vector<std::string>{"out/contact.png", "out/frame-000.png", "out/frame-001.png",
                                      "out/frame-002.png", "out/frame-004.png", "out/frame-009.png",
                                      "out/index.html", "out/input-from.png", "out/input-to.png",
                                      "out/notes.txt"}));
}

TEST_F(OutputFilesTest, ManifestCannotReachOutsideTheFolder) {
  WriteFile("keep.png", "outside");
  fs::create_directory(Path("out"));
  WriteFile("out/.zanhost-files", "7 ../keep.png\n7 " + Path("keep.png") + "\n");
  ASSERT_EQ(Run(Transition("out", "2")).exitCode, 0);
  EXPECT_TRUE(Exists("keep.png"));
}

// SIGTERM once the first frame is there: no temporary file, no folder.
TEST_F(OutputFilesTest, InterruptLeavesNoPartialFilesNorTheFolder) {
  WritePicture("a.png", PatternPicture(320, 240, 4));
  WritePicture("b.png", PatternPicture(320, 240, 5));
  const int child = Start(Transition("out", "5000"));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!Exists("out/frame-0000.png") && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(kill(child, SIGTERM), 0);
  const ProgramResult result = Finish(child);
  EXPECT_NE(result.exitCode, 0);
  EXPECT_FALSE(Exists("out"));
  EXPECT_EQ(FilesUnder("."), (std::vector<std::string>{".stderr", ".stdout", "a.png", "b.png"}));
}

}  // namespace
}  // namespace zanhost::cli
