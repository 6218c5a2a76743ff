// Values the module did not take as given: an option never read, an option of
// the wrong type, a real read as a whole number, a function argument that a
// conversion changed. Each is a warning that names the value used, and an error
// (exit status 2, nothing written) with --strict. --quiet keeps the warnings.
#include <ostream>

#include "zanhost_fixture.h"

namespace zanhost::cli {
namespace {

struct CautionCase {
  const char *what;
  std::vector<std::string> words;
  const char *warning;  // the text after "zanhost: warning: "
};

void PrintTo(const CautionCase &c, std::ostream *out) {
  *out << c.what;
}

std::vector<std::string> Add(std::vector<std::string> options) {
  std::vector<std::string> words = {"transition", "add",    "--from",   "a.png",     "--to",
                                    "b.png",      "--out",  "out",      "--option",  "time=9",
                                    "--option",   "add=in", "--option", "rule=b.png"};
  for (const std::string &option : options) {
    words.insert(words.end(), {"--option", option});
  }
  return words;
}

const CautionCase kCases[] = {
    {"MisspeltOption", Add({"tiem=5"}), "option \"tiem\" was not read by \"add\""},
    {"TextForANumber", Add({"vague=soft"}),
     "option \"vague\" is the text \"soft\", but \"add\" reads a number there: the value was not "
     "used"},
    {"RealForAWholeNumber", Add({"vague=2.5"}),
     "option \"vague\" is 2.5, but \"add\" reads a whole number there: 2 was used"},
    {"TextForAnOptionalNumber",
     {"transition", "brightness", "--from", "a.png", "--to", "b.png", "--out", "out", "--option",
      "time=9", "--option", "rule=fore_dark", "--option", "blur=soft"},
     "option \"blur\" is the text \"soft\", but \"brightness\" reads a number there: the value "
     "was not used"},
    {"BlurRadiusFraction",
     {"blur", "a.png", "1.9", "-o", "out.png"},
     "argument 2 of blur, 1.9, was taken as 1"},
    {"DistortionOpacityFraction",
     {"distortion", "a.png", "b.png", "0.5", "4", "8", "99.5", "-o", "out.png"},
     "argument 6 of distortion, 99.5, was taken as 99"},
};

class CautionTest : public ZanhostTest, public ::testing::WithParamInterface<CautionCase> {
 protected:
  void SetUp() override {
    ZanhostTest::SetUp();
    WritePicture("a.png", PatternPicture(8, 6, 1));
    WritePicture("b.png", PatternPicture(8, 6, 2));
  }
};

TEST_P(CautionTest, WarnsAndNamesTheValueUsed) {
  std::vector<std::string> words = GetParam().words;
  words.push_back("--quiet");
  const ProgramResult result = Run(words);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, std::string("zanhost: warning: ") + GetParam().warning + "\n");
  EXPECT_EQ(result.out, "");
}

TEST_P(CautionTest, StrictFailsAndWritesNothing) {
  std::vector<std::string> words = GetParam().words;
  words.push_back("--strict");
  const ProgramResult result = Run(words);
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.err, std::string("zanhost: ") + GetParam().warning + " (--strict)\n");
  EXPECT_FALSE(Exists("out"));
  EXPECT_FALSE(Exists("out.png"));
}

INSTANTIATE_TEST_SUITE_P(Values, CautionTest, ::testing::ValuesIn(kCases),
                         [](const auto &param) { return std::string(param.param.what); });

// The module's own message says only that the option is missing.
TEST_F(CautionTest, WrongTypeIsNamedBeforeTheModulesRefusal) {
  const ProgramResult result = Run({"transition", "brightness", "--from", "a.png", "--to", "b.png",
                                    "--out", "out", "--option", "time=9", "--option", "rule=5"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "zanhost: warning: option \"rule\" is 5, but \"brightness\" reads text there: the "
            "value was not used\nzanhost: specify option 'rule'.\n");
}

}  // namespace
}  // namespace zanhost::cli
