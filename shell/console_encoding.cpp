#include "console_encoding.h"

#include <algorithm>
#include <atomic>
#include <cctype>

namespace shell {

namespace {

std::atomic<ConsoleEncoding> currentEncoding{ConsoleEncoding::Utf8};

struct Cp932Glyph {
  char32_t codePoint;
  char bytes[3];
};

// The non-ASCII characters our consoles print, with their code page 932 bytes.
constexpr Cp932Glyph kCp932Glyphs[] = {
    {U'\u250C', "\x84\xA1"},  // ┌
    {U'\u2510', "\x84\xA2"},  // ┐
    {U'\u2514', "\x84\xA4"},  // └
    {U'\u2518', "\x84\xA3"},  // ┘
    {U'\u2500', "\x84\x9F"},  // ─
    {U'\u2502', "\x84\xA0"},  // │
    {U'\u25A0', "\x81\xA1"},  // ■
    {U'\u25A1', "\x81\xA0"},  // □
    {U'\uFF1A', "\x81\x46"},  // ：
};

constexpr char kUnmappable = '?';

// Decodes one UTF-8 sequence at text[at]; returns its length, or 0 when malformed.
size_t decodeUtf8(const std::string& text, size_t at, char32_t& codePoint) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(at);
  size_t length = lead < 0x80             ? 1
                  : (lead & 0xE0) == 0xC0 ? 2
                  : (lead & 0xF0) == 0xE0 ? 3
                  : (lead & 0xF8) == 0xF0 ? 4
                                          : 0;
  if (length == 0 || at + length > text.size()) return 0;
  codePoint = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (byte(at + i) & 0x3F);
  }
  return length;
}

}  // namespace

std::optional<ConsoleEncoding> parseConsoleEncoding(const std::string& text) {
  std::string name(text);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (name.empty() || name == "utf-8" || name == "utf8") return ConsoleEncoding::Utf8;
  if (name == "cp932" || name == "shift_jis" || name == "sjis") return ConsoleEncoding::Cp932;
  return std::nullopt;
}

void setConsoleEncoding(ConsoleEncoding encoding) { currentEncoding.store(encoding); }

ConsoleEncoding consoleEncoding() { return currentEncoding.load(); }

std::string encodeConsoleText(const std::string& utf8, ConsoleEncoding encoding) {
  if (encoding == ConsoleEncoding::Utf8) return utf8;
  std::string out;
  out.reserve(utf8.size());
  size_t at = 0;
  while (at < utf8.size()) {
    char32_t codePoint = 0;
    size_t length = decodeUtf8(utf8, at, codePoint);
    if (length == 0) {
      out += kUnmappable;
      ++at;
      continue;
    }
    at += length;
    if (codePoint < 0x80) {
      out += static_cast<char>(codePoint);
      continue;
    }
    auto glyph = std::find_if(std::begin(kCp932Glyphs), std::end(kCp932Glyphs),
                              [&](const Cp932Glyph& g) { return g.codePoint == codePoint; });
    out +=
        glyph != std::end(kCp932Glyphs) ? std::string(glyph->bytes) : std::string(1, kUnmappable);
  }
  return out;
}

std::string consoleText(const std::string& utf8) {
  return encodeConsoleText(utf8, consoleEncoding());
}

}  // namespace shell
