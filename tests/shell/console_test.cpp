#include <shell/console.h>

#include <gtest/gtest.h>

namespace shell {
namespace {

TEST(AnsiColour, mapsTheWindowsColourBitsToAnsiColours) {
  EXPECT_EQ(ansiColourSequence(0, 0), "\x1b[30;40m");  // black on black
  EXPECT_EQ(ansiColourSequence(1, 0), "\x1b[34;40m");  // blue
  EXPECT_EQ(ansiColourSequence(2, 0), "\x1b[32;40m");  // green
  EXPECT_EQ(ansiColourSequence(3, 0), "\x1b[36;40m");  // cyan
  EXPECT_EQ(ansiColourSequence(4, 0), "\x1b[31;40m");  // red
  EXPECT_EQ(ansiColourSequence(5, 0), "\x1b[35;40m");  // magenta
  EXPECT_EQ(ansiColourSequence(6, 0), "\x1b[33;40m");  // yellow (dark)
  EXPECT_EQ(ansiColourSequence(7, 0), "\x1b[37;40m");  // grey, the console's default
}

TEST(AnsiColour, theIntensityBitSelectsTheBrightColours) {
  EXPECT_EQ(ansiColourSequence(8, 0), "\x1b[90;40m");
  EXPECT_EQ(ansiColourSequence(12, 0), "\x1b[91;40m");  // bright red
  EXPECT_EQ(ansiColourSequence(14, 1), "\x1b[93;44m");  // bright yellow on blue
  EXPECT_EQ(ansiColourSequence(15, 15), "\x1b[97;107m");
  EXPECT_EQ(ansiColourSequence(0, 12), "\x1b[30;101m");
}

TEST(AnsiColour, indicesOutsideTheSixteenColoursChangeNothing) {
  EXPECT_EQ(ansiColourSequence(16, 0), "");
  EXPECT_EQ(ansiColourSequence(7, 16), "");
  EXPECT_EQ(ansiColourSequence(-1, 0), "");
  EXPECT_EQ(ansiColourSequence(7, -1), "");
}

}  // namespace
}  // namespace shell
