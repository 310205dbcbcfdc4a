#pragma once
// Console text in the configured console encoding. Our sources hold UTF-8; an operator whose
// terminal uses code page 932 sets "console.encoding: cp932" in rtc.conf and sees the panel's
// box-drawing characters in that code page instead.
#include <optional>
#include <string>

namespace shell {

enum class ConsoleEncoding { Utf8, Cp932 };

// The rtc.conf key that selects the encoding.
inline constexpr const char* kConsoleEncodingKey = "console.encoding";

// "utf-8"/"utf8" or "cp932"/"shift_jis"/"sjis", any letter case; empty text means UTF-8.
// Empty result for anything else.
std::optional<ConsoleEncoding> parseConsoleEncoding(const std::string& text);

// The process-wide encoding used by consoleText (UTF-8 until set).
void setConsoleEncoding(ConsoleEncoding encoding);
ConsoleEncoding consoleEncoding();

// utf8 turned into the bytes of encoding. UTF-8 is passed through unchanged. For code page 932
// ASCII passes unchanged and the panel characters ┌ ┐ └ ┘ ─ │ ■ □ and the full-width colon "："
// become their two-byte codes; any other character, and any malformed UTF-8 byte, becomes "?"
// so that no stray bytes reach the terminal.
std::string encodeConsoleText(const std::string& utf8, ConsoleEncoding encoding);

// encodeConsoleText(utf8, consoleEncoding()).
std::string consoleText(const std::string& utf8);

}  // namespace shell
