#include "console.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace shell {

namespace {

constexpr int kColourCount = 16;
constexpr int kBrightBit = 8;
constexpr int kAnsiForeground = 30;
constexpr int kAnsiBrightForeground = 90;
constexpr int kAnsiBackground = 40;
constexpr int kAnsiBrightBackground = 100;
const char* const kHideCursor = "\x1b[?25l";
const char* const kShowCursor = "\x1b[?25h";

// Windows orders the colour bits blue-green-red, ANSI red-green-blue.
int ansiColourIndex(int windowsColour) {
  return ((windowsColour & 1) << 2) | (windowsColour & 2) | ((windowsColour & 4) >> 2);
}

int ansiCode(int windowsColour, int normalBase, int brightBase) {
  return ((windowsColour & kBrightBit) ? brightBase : normalBase) + ansiColourIndex(windowsColour);
}

void writeToTerminal(const std::string& sequence) {
  if (sequence.empty() || !isatty(STDOUT_FILENO)) return;
  std::fputs(sequence.c_str(), stdout);
  std::fflush(stdout);
}

void showCursorAtExit() { writeToTerminal(kShowCursor); }

}  // namespace

std::string ansiColourSequence(int foreground, int background) {
  if (foreground < 0 || foreground >= kColourCount || background < 0 ||
      background >= kColourCount) {
    return "";
  }
  return "\x1b[" + std::to_string(ansiCode(foreground, kAnsiForeground, kAnsiBrightForeground)) +
         ";" + std::to_string(ansiCode(background, kAnsiBackground, kAnsiBrightBackground)) + "m";
}

void setConsoleTextAttribute(int foreground, int background) {
  writeToTerminal(ansiColourSequence(foreground, background));
}

void hideConsoleCursor() {
  static std::once_flag restoreRegistered;
  std::call_once(restoreRegistered, [] { std::atexit(showCursorAtExit); });
  writeToTerminal(kHideCursor);
}

}  // namespace shell
