// Every class of bad input ends with one clear message on standard error, a
// nonzero exit status (2 for the command line, 1 for a failed run) and no
// output file under its final name.
#include <zlib.h>

#include <filesystem>
#include <ostream>

#include "zanhost_fixture.h"

namespace zanhost::cli {
namespace {

struct BadInputCase {
  const char *what;
  std::vector<std::string> words;
  int exitCode;
  const char *message;  // expected within standard error
};

void PrintTo(const BadInputCase &c, std::ostream *out) {
  *out << c.what;
}

std::string BigEndian(uint32_t value) {
  std::string bytes;
  for (int shift = 24; shift >= 0; shift -= 8) {
    bytes.push_back(static_cast<char>(value >> shift));
  }
  return bytes;
}

std::string PngChunk(const std::string &type, const std::string &data) {
  const std::string body = type + data;
  const uLong crc =
      crc32(0, reinterpret_cast<const Bytef *>(body.data()), static_cast<uInt>(body.size()));
  return BigEndian(static_cast<uint32_t>(data.size())) + body +
         BigEndian(static_cast<uint32_t>(crc));
}

// A well-formed start of a PNG claiming the size, with no pixel data.
std::string PngHeaderOnly(uint32_t width, uint32_t height) {
  return std::string("\x89PNG\r\n\x1a\n", 8) +
         PngChunk("IHDR", BigEndian(width) + BigEndian(height) + std::string("\x08\x06\0\0\0", 5)) +
         PngChunk("IDAT", "") + PngChunk("IEND", "");
}

class BadInputTest : public ZanhostTest, public ::testing::WithParamInterface<BadInputCase> {
 protected:
  void SetUp() override {
    ZanhostTest::SetUp();
    WritePicture("a.png", PatternPicture(8, 6, 1));
    WritePicture("b.png", PatternPicture(8, 6, 2));
    WritePicture("wide.png", PatternPicture(9, 6, 3));
    WriteFile("text.png", "this is not a picture, only some text long enough to be read\n");
    WriteFile("cut.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    std::filesystem::create_directory(Path("folder.png"));
    WriteFile("big.png", PngHeaderOnly(40000, 40000));
  }
};

TEST_P(BadInputTest, FailsWithMessageAndNoOutput) {
  const BadInputCase &c = GetParam();
  const ProgramResult result = Run(c.words);
  EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
  EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  EXPECT_EQ(result.err.rfind("zanhost: ", 0), 0u) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(Exists("out.png"));
  EXPECT_FALSE(Exists("out/index.html"));
}

std::vector<std::string> Transition(const std::string &name, std::vector<std::string> extra) {
  std::vector<std::string> words = {"transition", name,    "--from", "a.png",
                                    "--to",       "b.png", "--out",  "out"};
  words.insert(words.end(), extra.begin(), extra.end());
  return words;
}

const BadInputCase kCommandLineCases[] = {
    {"UnknownCommand", {"sharpen", "a.png"}, 2, "unknown command 'sharpen'"},
    {"UnknownOption",
     {"blur", "a.png", "1", "--radius", "2", "-o", "out.png"},
     2,
     "unknown option '--radius'"},
    {"MissingOutput", {"blur", "a.png", "1"}, 2, "missing -o OUT.png"},
    {"TooManyRadii",
     {"blur", "a.png", "1", "2", "3", "-o", "out.png"},
     2,
     "blur takes IN.png X [Y]"},
    {"OptionWithoutValue", {"blur", "a.png", "1", "-o"}, 2, "option -o needs a value"},
    {"ValueLeftOut", {"blur", "a.png", "1", "-o", "--help"}, 2, "option -o needs a value"},
    {"OptionWithoutEquals", Transition("add", {"--option", "time"}), 2, "KEY=VALUE"},
    {"FramesNotANumber", Transition("test", {"--option", "time=9", "--frames", "many"}), 2,
     "--frames needs a whole number"},
    {"SingleFrame", Transition("test", {"--option", "time=9", "--frames", "1"}), 2,
     "--frames must lie between 2"},
    {"FramesAndAt", Transition("test", {"--frames", "3", "--at", "1"}), 2, "not both"},
    {"NegativeAt", Transition("test", {"--at", "5,-1"}), 2, "--at must lie between 0"},
    {"UnknownEasing", Transition("test", {"--easing", "bounce"}), 2, "--easing takes"},
    {"ZeroBand", Transition("test", {"--band", "0"}), 2, "--band must lie between 1"},
    {"RuleForAnotherTransition", Transition("test", {"--option", "time=9", "--rule", "a.png"}), 2,
     "--rule serves transition 'add' only"},
    {"DemoWithInput", {"demo", "a.png"}, 2, "demo takes no input"},
    {"DemoTinySize", {"demo", "--size", "4x4"}, 2, "--size width must lie between 8"},
};

const BadInputCase kFileCases[] = {
    {"MissingFile",
     {"blur", "nothere.png", "1", "-o", "out.png"},
     1,
     "cannot read \"nothere.png\": there is no such file"},
    {"Directory",
     {"blur", "folder.png", "1", "-o", "out.png"},
     1,
     "cannot read \"folder.png\": it is a folder"},
    {"TextFile",
     {"blur", "text.png", "1", "-o", "out.png"},
     1,
     "\"text.png\": not a picture in a format read here ("},
    {"CutShort",
     {"blur", "cut.png", "1", "-o", "out.png"},
     1,
     "\"cut.png\": not a readable PNG picture"},
    {"DifferentSizes",
     {"transition", "test", "--from", "a.png", "--to", "wide.png", "--out", "out", "--option",
      "time=9"},
     1,
     "pictures differ in size: \"a.png\" is 8x6, \"wide.png\" is 9x6"},
    {"DistortionSizes",
     {"distortion", "a.png", "wide.png", "0", "8", "8", "-o", "out.png"},
     1,
     "pictures differ in size"},
    {"OutputFolderMissing",
     {"blur", "a.png", "1", "-o", "no/such/out.png"},
     1,
     "cannot write \"no/such/out.png\": there is no folder \"no/such\""},
    {"RuleFileMissing", Transition("add", {"--rule", "gone.png"}), 1,
     "cannot read \"gone.png\": there is no such file"},
    {"OutputFolderIsAFile",
     {"blur", "a.png", "1", "-o", "b.png/out.png"},
     1,
     "cannot write \"b.png/out.png\": \"b.png\" is not a folder"},
    {"OutFolderIsAFile",
     {"transition", "test", "--from", "a.png", "--to", "b.png", "--option", "time=9", "--out",
      "b.png"},
     1,
     "cannot make folder \"b.png\": a file has that name"},
    {"OutFolderBelowAFile",
     {"transition", "test", "--from", "a.png", "--to", "b.png", "--option", "time=9", "--out",
      "b.png/frames"},
     1,
     "cannot make folder \"b.png/frames\": \"b.png\" is not a folder"},
    {"OutputIsAFolder",
     {"blur", "a.png", "1", "-o", "folder.png"},
     1,
     "cannot write \"folder.png\": it is a folder"},
    {"PictureTooLarge",
     {"blur", "big.png", "1", "-o", "out.png"},
     1,
     "\"big.png\": picture too large (40000x40000;"},
};

// The module's own errors, with the exact text a script would see.
const BadInputCase kModuleCases[] = {
    {"AddWithoutTime", Transition("add", {}), 1, "zanhost: specify option 'time'.\n"},
    {"AddWithoutAdd", Transition("add", {"--option", "time=9"}), 1,
     "zanhost: specify option 'add'.\n"},
    {"AddBadName", Transition("add", {"--option", "time=9", "--option", "add=In"}), 1,
     "zanhost: bad name 'In' for option 'add'.\n"},
    {"AddWithoutRule", Transition("add", {"--option", "time=9", "--option", "add=in"}), 1,
     "zanhost: specify option 'rule'.\n"},
    {"AddRuleNotLoadable",
     Transition("add", {"--option", "time=9", "--option", "add=in", "--option", "rule=gone"}), 1,
     "zanhost: cannot load rule graphic 'gone'.\n"},
    {"BrightnessWithoutTime", Transition("brightness", {}), 1, "zanhost: specify option 'time'.\n"},
    {"BrightnessBlurTooWide",
     Transition("brightness", {"--option", "time=9", "--option", "blur=4"}), 1,
     "zanhost: invalid range for option 'blur'.\n"},
    {"BrightnessBadRule",
     Transition("brightness", {"--option", "time=9", "--option", "rule=Fore_dark"}), 1,
     "zanhost: bad name 'Fore_dark' for option 'rule'.\n"},
    {"TestWithoutTime", Transition("test", {}), 1, "transition 'test' did not start (status -1)"},
    {"UnknownTransition", Transition("fade", {"--option", "time=9"}), 1,
     "no transition named 'fade'"},
    {"BlurTooWide",
     {"blur", "a.png", "5", "-o", "out.png"},
     1,
     "zanhost: invalid size of x blur.\n"},
    {"BlurTooHigh",
     {"blur_alpha", "a.png", "4", "-o", "out.png"},
     1,
     "zanhost: invalid size of y blur.\n"},
    {"BlurNegative", {"blur", "a.png", "-1", "-o", "out.png"}, 1, "invalid size of x blur."},
    {"RadiusNotANumber",
     {"blur", "a.png", "wide", "-o", "out.png"},
     1,
     "zanhost: the text \"wide\" is not a number\n"},
};

std::string CaseName(const ::testing::TestParamInfo<BadInputCase> &info) {
  return info.param.what;
}

INSTANTIATE_TEST_SUITE_P(CommandLine, BadInputTest, ::testing::ValuesIn(kCommandLineCases),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(Files, BadInputTest, ::testing::ValuesIn(kFileCases), CaseName);
INSTANTIATE_TEST_SUITE_P(Module, BadInputTest, ::testing::ValuesIn(kModuleCases), CaseName);

using ModuleFileTest = ZanhostTest;

TEST_F(ModuleFileTest, MissingModuleIsNamed) {
  WritePicture("a.png", PatternPicture(4, 4, 1));
  const ProgramResult result =
      Run({"blur", "a.png", "1", "-o", "out.png", "--module", "nowhere/libfx.so"}, false);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("cannot open module \"nowhere/libfx.so\": there is no such file"),
            std::string::npos)
      << result.err;
  EXPECT_FALSE(Exists("out.png"));
}

TEST_F(ModuleFileTest, PictureAsModuleIsNamedAsNoModule) {
  WritePicture("a.png", PatternPicture(4, 4, 1));
  const ProgramResult result =
      Run({"blur", "a.png", "1", "-o", "out.png", "--module", "a.png"}, false);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err.rfind("zanhost: \"a.png\" is not a module file (", 0), 0u) << result.err;
}

TEST_F(ModuleFileTest, NoArgumentsPrintsUsage) {
  const ProgramResult result = Run({}, false);
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("usage: zanhost COMMAND"), std::string::npos);
}

}  // namespace
}  // namespace zanhost::cli
