#include <shell/console_encoding.h>

#include <gtest/gtest.h>

namespace shell {
namespace {

const std::string kPanelTop = "┌─────┐";
const std::string kPanelLine = "│ RobotH/W ■";
const std::string kPanelBottom = "└─────┘";

TEST(ConsoleEncoding, utf8PassesTextThroughUnchanged) {
  EXPECT_EQ(encodeConsoleText(kPanelTop + "□：", ConsoleEncoding::Utf8), kPanelTop + "□：");
}

TEST(ConsoleEncoding, cp932GivesTheTwoByteCodesOfEveryPanelCharacter) {
  EXPECT_EQ(encodeConsoleText("┌", ConsoleEncoding::Cp932), "\x84\xA1");
  EXPECT_EQ(encodeConsoleText("┐", ConsoleEncoding::Cp932), "\x84\xA2");
  EXPECT_EQ(encodeConsoleText("└", ConsoleEncoding::Cp932), "\x84\xA4");
  EXPECT_EQ(encodeConsoleText("┘", ConsoleEncoding::Cp932), "\x84\xA3");
  EXPECT_EQ(encodeConsoleText("─", ConsoleEncoding::Cp932), "\x84\x9F");
  EXPECT_EQ(encodeConsoleText("│", ConsoleEncoding::Cp932), "\x84\xA0");
  EXPECT_EQ(encodeConsoleText("■", ConsoleEncoding::Cp932), "\x81\xA1");
  EXPECT_EQ(encodeConsoleText("□", ConsoleEncoding::Cp932), "\x81\xA0");
  EXPECT_EQ(encodeConsoleText("：", ConsoleEncoding::Cp932), "\x81\x46");
}

TEST(ConsoleEncoding, cp932KeepsAsciiAroundThePanelCharacters) {
  EXPECT_EQ(encodeConsoleText(kPanelLine + "\n", ConsoleEncoding::Cp932),
            "\x84\xA0 RobotH/W \x81\xA1\n");
  EXPECT_EQ(encodeConsoleText(kPanelBottom, ConsoleEncoding::Cp932),
            "\x84\xA4\x84\x9F\x84\x9F\x84\x9F\x84\x9F\x84\x9F\x84\xA3");
  EXPECT_EQ(encodeConsoleText("", ConsoleEncoding::Cp932), "");
}

TEST(ConsoleEncoding, cp932ReplacesUnknownCharactersAndBrokenBytesWithOneMarkEach) {
  EXPECT_EQ(encodeConsoleText("a\xC3\xA9z", ConsoleEncoding::Cp932), "a?z");      // é
  EXPECT_EQ(encodeConsoleText("\xF0\x9F\x98\x80", ConsoleEncoding::Cp932), "?");  // emoji
  EXPECT_EQ(encodeConsoleText("x\xE2\x94", ConsoleEncoding::Cp932), "x??");       // cut short
  EXPECT_EQ(encodeConsoleText("\xFF\x80.", ConsoleEncoding::Cp932), "??.");       // not UTF-8
}

TEST(ConsoleEncoding, parsesTheConfiguredNamesInAnyLetterCase) {
  EXPECT_EQ(parseConsoleEncoding(""), ConsoleEncoding::Utf8);
  EXPECT_EQ(parseConsoleEncoding("UTF-8"), ConsoleEncoding::Utf8);
  EXPECT_EQ(parseConsoleEncoding("utf8"), ConsoleEncoding::Utf8);
  EXPECT_EQ(parseConsoleEncoding("cp932"), ConsoleEncoding::Cp932);
  EXPECT_EQ(parseConsoleEncoding("CP932"), ConsoleEncoding::Cp932);
  EXPECT_EQ(parseConsoleEncoding("Shift_JIS"), ConsoleEncoding::Cp932);
  EXPECT_FALSE(parseConsoleEncoding("latin1").has_value());
}

TEST(ConsoleEncoding, consoleTextFollowsTheProcessSetting) {
  setConsoleEncoding(ConsoleEncoding::Cp932);
  EXPECT_EQ(consoleText("■"), "\x81\xA1");
  setConsoleEncoding(ConsoleEncoding::Utf8);
  EXPECT_EQ(consoleText("■"), "■");
}

}  // namespace
}  // namespace shell
