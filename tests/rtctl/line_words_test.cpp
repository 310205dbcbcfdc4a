#include "tools/rtctl/line_words.h"

#include <gtest/gtest.h>

namespace rtctl {
namespace {

VariableLookup from(std::vector<std::pair<std::string, std::string>> values) {
  return variablesFrom(std::move(values), false);
}

std::vector<std::string> wordsOf(const std::string& text, const VariableLookup& variables = {}) {
  WordLines lines = splitWordLines(text, variables);
  EXPECT_EQ(lines.error, "") << text;
  EXPECT_EQ(lines.lines.size(), 1u) << text;
  return lines.lines.empty() ? std::vector<std::string>{} : lines.lines[0].words;
}

TEST(LineWords, blanksSeparateWordsAndCommentsAndEmptyLinesAreLeftOut) {
  WordLines lines =
      splitWordLines("# the header\n\nconnect  A0:out\tB0:in   # trailing\n   \nactivate B0\n", {});
  ASSERT_EQ(lines.error, "");
  ASSERT_EQ(lines.lines.size(), 2u);
  EXPECT_EQ(lines.lines[0].number, 3);
  EXPECT_EQ(lines.lines[0].words, (std::vector<std::string>{"connect", "A0:out", "B0:in"}));
  EXPECT_EQ(lines.lines[1].number, 5);
  EXPECT_EQ(lines.lines[1].words, (std::vector<std::string>{"activate", "B0"}));
}

TEST(LineWords, quotesKeepBlanksAndHashesInOneWord) {
  EXPECT_EQ(wordsOf("conf A0 set label \"two words # not a comment\""),
            (std::vector<std::string>{"conf", "A0", "set", "label", "two words # not a comment"}));
  EXPECT_EQ(wordsOf("host robot 1.2.3.4 via=\"ip netns exec robot\""),
            (std::vector<std::string>{"host", "robot", "1.2.3.4", "via=ip netns exec robot"}));
  EXPECT_EQ(wordsOf(R"(x "a \"quoted\" \\ and \$ sign" "")"),
            (std::vector<std::string>{"x", "a \"quoted\" \\ and $ sign", ""}));
}

TEST(LineWords, aBackslashAtTheEndContinuesTheLineAndTheFirstLineNumberCounts) {
  WordLines lines = splitWordLines(
      "program viewer optional \\\n    -- viewer --dir out  \\  # why\n\nnext\n", {});
  ASSERT_EQ(lines.error, "");
  ASSERT_EQ(lines.lines.size(), 2u);
  EXPECT_EQ(lines.lines[0].number, 1);
  EXPECT_EQ(lines.lines[0].words, (std::vector<std::string>{"program", "viewer", "optional", "--",
                                                            "viewer", "--dir", "out"}));
  EXPECT_EQ(lines.lines[1].number, 4);
}

TEST(LineWords, variablesAreReplacedWithoutSplittingTheirValues) {
  EXPECT_EQ(
      wordsOf("conf BaseSim0 set floor_plan ${DIR}/plan.txt", from({{"DIR", "/my folder"}})),
      (std::vector<std::string>{"conf", "BaseSim0", "set", "floor_plan", "/my folder/plan.txt"}));
  EXPECT_EQ(wordsOf("\"${A}${B}\"", from({{"A", "x"}, {"B", "y"}})),
            (std::vector<std::string>{"xy"}));
}

TEST(LineWords, anUnknownVariableABareDollarAndAnOpenQuoteAreRefusedWithTheirLine) {
  struct Case {
    const char* text;
    const char* error;
    int line;
  };
  for (const Case& bad : {Case{"ok\nconf A set k ${NOPE}\n", "unknown variable ${NOPE}", 2},
                          Case{"a $HOME b", "a $ that is not a ${VARIABLE}", 1},
                          Case{"x\n\na ${1X}", "a $ that is not a ${VARIABLE}", 3},
                          Case{"a ${OPEN", "a $ that is not a ${VARIABLE}", 1},
                          Case{"a \"open\nb", "a quote is not closed", 1}}) {
    WordLines lines = splitWordLines(bad.text, from({}));
    EXPECT_EQ(lines.error, bad.error) << bad.text;
    EXPECT_EQ(lines.errorLine, bad.line) << bad.text;
  }
}

TEST(LineWords, aQuotedWordReadsBackAsItself) {
  for (const std::string& word :
       {std::string("plain"), std::string("two words"), std::string(""), std::string("a#b"),
        std::string("$x"), std::string("back\\slash \"quoted\"")}) {
    std::string written = quotedWord(word);
    EXPECT_EQ(wordsOf("k " + written), (std::vector<std::string>{"k", word})) << written;
  }
  EXPECT_EQ(quotedWord("plain"), "plain");
}

}  // namespace
}  // namespace rtctl
