#pragma once

// The gateway's console: set up once during static initialisation (text grey on black, cursor
// hidden), then used to colour the highlighted IK failure message.
class ConsoleText {
 public:
  static constexpr int kNormalForeground = 7;
  static constexpr int kNormalBackground = 0;

  ConsoleText();
  ConsoleText(const ConsoleText&) = delete;
  ConsoleText& operator=(const ConsoleText&) = delete;

  // Colours 0-15 as the Windows console numbers them.
  void setAttribute(int foreground, int background);
};

// The one instance of the process.
ConsoleText& processConsole();
