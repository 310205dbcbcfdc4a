#include "gateway/console_text.h"

#include <shell/console.h>

namespace {
ConsoleText theConsole;
}  // namespace

ConsoleText::ConsoleText() {
  setAttribute(kNormalForeground, kNormalBackground);
  shell::hideConsoleCursor();
}

void ConsoleText::setAttribute(int foreground, int background) {
  shell::setConsoleTextAttribute(foreground, background);
}

ConsoleText& processConsole() { return theConsole; }
