#pragma once
// A small ANSI console layer standing in for the Windows console calls: text colours given as
// the Windows console's foreground and background indices (0-15: bit 0 blue, bit 1 green,
// bit 2 red, bit 3 bright), and a hidden cursor. Escape sequences are written to standard
// output only when it is a terminal, so redirected output (logs, tests) stays plain text, as
// the Windows calls do nothing on a redirected handle.
#include <string>

namespace shell {

// The ANSI sequence that selects the Windows colour pair, e.g. (7, 0) → "\x1b[37;40m",
// (12, 0) → "\x1b[91;40m". Empty when either index is outside 0-15.
std::string ansiColourSequence(int foreground, int background);

// Writes ansiColourSequence(foreground, background) to standard output (terminal only).
void setConsoleTextAttribute(int foreground, int background);

// Hides the terminal cursor; it is shown again when the process exits normally.
void hideConsoleCursor();

}  // namespace shell
