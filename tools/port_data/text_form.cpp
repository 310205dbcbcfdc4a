#include "text_form.h"

#include <zlib.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace port_data {

namespace {

const char* const kTimedString = "IDL:RTC/TimedString:1.0";
const char* const kTimedStringSeq = "IDL:RTC/TimedStringSeq:1.0";
constexpr int kStampDigits = 9;
const char* const kHexDigits = "0123456789abcdef";

std::string hexByte(std::uint8_t byte) { return {kHexDigits[byte >> 4], kHexDigits[byte & 15]}; }

// C escapes for the quote, the backslash and control characters; other bytes as they are.
std::string escaped(const std::string& text, char quote) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        if (c == quote) {
          out += '\\';
          out += c;
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
          out += "\\x" + hexByte(static_cast<std::uint8_t>(c));
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string numberText(Kind kind, double number) {
  char text[64];
  std::to_chars_result written = kind == Kind::Float
                                     ? std::to_chars(text, text + sizeof text, float(number))
                                     : std::to_chars(text, text + sizeof text, number);
  return std::string(text, written.ptr);
}

std::string stampText(const Value& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%09lld",
                static_cast<long long>(time.items()[0].asInteger()),
                static_cast<long long>(time.items()[1].asInteger()));
  return text;
}

std::string bytesText(const Bytes& bytes) {
  if (bytes.size() > kInlineBytes) return blockSummary(bytes);
  std::string text = "0x";
  for (std::uint8_t byte : bytes) text += hexByte(byte);
  return text;
}

std::string valueText(const TypeDesc& type, const Value& value, const std::string& unit);

std::string fieldsText(const TypeDesc& type, const Value& value) {
  std::string text;
  for (size_t i = 0; i < type.fields.size(); ++i) {
    const Field& field = type.fields[i];
    if (i) text += ", ";
    text += field.name + ": " + valueText(*field.type, value.items()[i], field.unit);
  }
  return text;
}

std::string valueText(const TypeDesc& type, const Value& value, const std::string& unit) {
  switch (type.kind) {
    case Kind::Boolean:
      return value.asBool() ? "true" : "false";
    case Kind::Char:
      return "'" + escaped(std::string(1, static_cast<char>(value.asInteger())), '\'') + "'";
    case Kind::Float:
    case Kind::Double:
      return numberText(type.kind, value.asNumber()) + (unit.empty() ? "" : " " + unit);
    case Kind::String:
      return "\"" + escaped(value.asString(), '"') + "\"";
    case Kind::Struct:
      if (type.isTime()) return stampText(value);
      return "{" + fieldsText(type, value) + "}";
    case Kind::Sequence: {
      if (type.isByteBlock()) return bytesText(value.asBytes());
      std::string text = "[";
      for (size_t i = 0; i < value.items().size(); ++i) {
        text += (i ? ", " : "") + valueText(*type.element, value.items()[i], unit);
      }
      return text + "]";
    }
    default:
      return std::to_string(value.asInteger());
  }
}

struct ParseFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class LineParser {
 public:
  LineParser(std::string_view line, const ParseOptions& options) : line_(line), options_(options) {}

  Value topLevel(const TypeDesc& type) {
    skipSpaces();
    Value value = peek() == '{' ? braced(type, "") : fieldList(type, "", '\0');
    skipSpaces();
    if (at_ < line_.size()) fail("", "unexpected text \"" + std::string(rest(12)) + "\"");
    return value;
  }

 private:
  [[noreturn]] void fail(const std::string& path, const std::string& what) const {
    throw ParseFailure((path.empty() ? "" : path + ": ") + what + " (column " +
                       std::to_string(at_ + 1) + ")");
  }

  char peek() const { return at_ < line_.size() ? line_[at_] : '\0'; }
  std::string_view rest(size_t count) const { return line_.substr(at_, count); }

  void skipSpaces() {
    while (at_ < line_.size() && std::isspace(static_cast<unsigned char>(line_[at_]))) ++at_;
  }

  bool accept(char c) {
    skipSpaces();
    if (peek() != c) return false;
    ++at_;
    return true;
  }

  void expect(char c, const std::string& path) {
    if (!accept(c)) {
      fail(path, std::string("expected '") + c + "', got " +
                     (at_ < line_.size() ? "\"" + std::string(rest(12)) + "\"" : "the line's end"));
    }
  }

  std::string name() {
    skipSpaces();
    size_t start = at_;
    while (at_ < line_.size() &&
           (std::isalnum(static_cast<unsigned char>(line_[at_])) || line_[at_] == '_')) {
      ++at_;
    }
    return std::string(line_.substr(start, at_ - start));
  }

  static std::string join(const std::string& path, const std::string& name) {
    return path.empty() ? name : path + "." + name;
  }

  // name: value pairs up to `close` ('\0' for the line's end), in any order.
  Value fieldList(const TypeDesc& type, const std::string& path, char close) {
    Value value = defaultValue(type);
    std::vector<bool> given(type.fields.size(), false);
    skipSpaces();
    bool first = true;
    while (at_ < line_.size() && peek() != close) {
      if (!first) expect(',', path);
      first = false;
      std::string fieldName = name();
      if (fieldName.empty())
        fail(path, "expected a field name, got \"" + std::string(rest(12)) + "\"");
      size_t index = 0;
      while (index < type.fields.size() && type.fields[index].name != fieldName) ++index;
      if (index == type.fields.size()) {
        std::string names;
        for (const Field& field : type.fields) names += (names.empty() ? "" : ", ") + field.name;
        fail(path, type.name + " has no field \"" + fieldName + "\" (fields: " + names + ")");
      }
      if (given[index]) fail(join(path, fieldName), "given twice");
      given[index] = true;
      expect(':', join(path, fieldName));
      const Field& field = type.fields[index];
      value.items()[index] = parseValue(*field.type, join(path, fieldName), field.unit);
      skipSpaces();
    }
    for (size_t i = 0; i < type.fields.size(); ++i) {
      if (!given[i] && path.empty() && type.fields[i].type->isTime()) {
        value.items()[i] = timeValue(options_.stampSec, options_.stampNsec);
      }
    }
    return value;
  }

  Value braced(const TypeDesc& type, const std::string& path) {
    expect('{', path);
    Value value = fieldList(type, path, '}');
    expect('}', path);
    return value;
  }

  Value parseValue(const TypeDesc& type, const std::string& path, const std::string& unit) {
    skipSpaces();
    switch (type.kind) {
      case Kind::Boolean: {
        std::string word = name();
        if (word == "true") return Value{true};
        if (word == "false") return Value{false};
        fail(path, "expected true or false");
      }
      case Kind::Char:
        return character(path);
      case Kind::Float:
      case Kind::Double:
        return number(type.kind, path, unit);
      case Kind::String:
        return Value{quoted('"', path)};
      case Kind::Struct:
        if (type.isTime() && peek() != '{') return stamp(path);
        return braced(type, path);
      case Kind::Sequence:
        if (type.isByteBlock()) return block(path);
        return list(type, path, unit);
      default:
        return integer(type.kind, path);
    }
  }

  Value list(const TypeDesc& type, const std::string& path, const std::string& unit) {
    expect('[', path);
    Value::Items items;
    skipSpaces();
    while (peek() != ']') {
      if (!items.empty()) expect(',', path);
      items.push_back(
          parseValue(*type.element, path + "[" + std::to_string(items.size()) + "]", unit));
      skipSpaces();
      if (at_ >= line_.size()) fail(path, "expected ']', got the line's end");
    }
    ++at_;
    return Value{std::move(items)};
  }

  std::string_view numberToken() {
    size_t start = at_;
    if (peek() == '-' || peek() == '+') ++at_;
    while (at_ < line_.size()) {
      char c = line_[at_];
      bool exponentSign =
          (c == '-' || c == '+') && (line_[at_ - 1] == 'e' || line_[at_ - 1] == 'E');
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && !exponentSign) break;
      ++at_;
    }
    return line_.substr(start, at_ - start);
  }

  Value integer(Kind kind, const std::string& path) {
    std::string_view token = numberToken();
    if (!token.empty() && token[0] == '+') token.remove_prefix(1);
    std::int64_t number = 0;
    auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), number);
    if (token.empty() || error != std::errc() || end != token.data() + token.size()) {
      fail(path, "expected an integer, got \"" + std::string(token) + "\"");
    }
    if (number < integerMin(kind) || number > integerMax(kind)) {
      fail(path, std::string(token) + " is out of range (" + std::to_string(integerMin(kind)) +
                     " to " + std::to_string(integerMax(kind)) + ")");
    }
    return Value{number};
  }

  Value number(Kind kind, const std::string& path, const std::string& unit) {
    std::string_view token = numberToken();
    std::string text(token);
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    double number = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    std::from_chars_result read{};
    if (kind == Kind::Float) {
      float single = 0;
      read = std::from_chars(first, last, single);
      number = single;
    } else {
      read = std::from_chars(first, last, number);
    }
    if (text.empty() || read.ec == std::errc::invalid_argument || read.ptr != last) {
      fail(path, "expected a number, got \"" + text + "\"");
    }
    if (read.ec == std::errc::result_out_of_range) fail(path, text + " is out of range");
    skipSpaces();
    if (std::isalpha(static_cast<unsigned char>(peek()))) {
      size_t start = at_;
      while (at_ < line_.size() && !std::isspace(static_cast<unsigned char>(line_[at_])) &&
             line_[at_] != ',' && line_[at_] != '}' && line_[at_] != ']') {
        ++at_;
      }
      std::string given(line_.substr(start, at_ - start));
      if (unit.empty()) fail(path, "has no unit, got \"" + given + "\"");
      if (given != unit) fail(path, "is in " + unit + ", got \"" + given + "\"");
    }
    return Value{number};
  }

  Value stamp(const std::string& path) {
    std::string_view token = numberToken();
    size_t dot = token.find('.');
    std::string_view whole = token.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? "" : token.substr(dot + 1);
    std::uint64_t sec = 0;
    auto [end, error] = std::from_chars(whole.data(), whole.data() + whole.size(), sec);
    bool digitsOnly = fraction.find_first_not_of("0123456789") == std::string_view::npos;
    if (whole.empty() || error != std::errc() || end != whole.data() + whole.size() ||
        !digitsOnly || fraction.size() > kStampDigits ||
        sec > static_cast<std::uint64_t>(integerMax(Kind::ULong))) {
      fail(path, "expected a time stamp SECONDS.NANOSECONDS, got \"" + std::string(token) + "\"");
    }
    std::int64_t nsec = 0;
    for (size_t i = 0; i < kStampDigits; ++i) {
      nsec = nsec * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    }
    return timeValue(static_cast<std::uint32_t>(sec), static_cast<std::uint32_t>(nsec));
  }

  int hexDigit(char c) const {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  // One character of a quoted text, escapes resolved.
  char quotedChar(const std::string& path) {
    char c = line_[at_++];
    if (c != '\\') return c;
    if (at_ >= line_.size()) fail(path, "a backslash at the line's end");
    char escape = line_[at_++];
    switch (escape) {
      case 'n':
        return '\n';
      case 't':
        return '\t';
      case 'r':
        return '\r';
      case 'x': {
        int high = at_ < line_.size() ? hexDigit(line_[at_]) : -1;
        int low = at_ + 1 < line_.size() ? hexDigit(line_[at_ + 1]) : -1;
        if (high < 0 || low < 0) fail(path, "\\x needs two hexadecimal digits");
        at_ += 2;
        return static_cast<char>(high * 16 + low);
      }
      default:
        return escape;
    }
  }

  std::string quoted(char quote, const std::string& path) {
    if (peek() != quote) fail(path, std::string("expected a text in ") + quote + " quotes");
    ++at_;
    std::string text;
    while (at_ < line_.size() && line_[at_] != quote) text += quotedChar(path);
    if (at_ >= line_.size()) fail(path, std::string("missing the closing ") + quote);
    ++at_;
    return text;
  }

  Value character(const std::string& path) {
    std::string text = quoted('\'', path);
    if (text.size() != 1) fail(path, "expected one character in ' quotes");
    return Value{std::int64_t{static_cast<unsigned char>(text[0])}};
  }

  Value block(const std::string& path) {
    if (peek() == '<') return summarisedBlock(path);
    std::string_view token = numberToken();
    if (token.size() < 2 || token[0] != '0' || (token[1] != 'x' && token[1] != 'X') ||
        token.size() % 2 != 0) {
      fail(path, "expected bytes as 0x followed by pairs of hexadecimal digits, got \"" +
                     std::string(token) + "\"");
    }
    Bytes bytes;
    for (size_t i = 2; i < token.size(); i += 2) {
      int high = hexDigit(token[i]);
      int low = hexDigit(token[i + 1]);
      if (high < 0 || low < 0) fail(path, "\"" + std::string(token) + "\" is not hexadecimal");
      bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return Value{std::move(bytes)};
  }

  Value summarisedBlock(const std::string& path) {
    size_t close = line_.find('>', at_);
    if (close == std::string_view::npos) fail(path, "missing the closing '>'");
    std::string inside(line_.substr(at_ + 1, close - at_ - 1));
    unsigned long long size = 0;
    unsigned crc = 0;
    char bytesWord[16] = {};
    char crcWord[16] = {};
    char extra = 0;
    if (std::sscanf(inside.c_str(), "%llu %15s %15s %x %c", &size, bytesWord, crcWord, &crc,
                    &extra) != 4 ||
        std::string(bytesWord) != "bytes" || std::string(crcWord) != "crc32") {
      fail(path, "expected <SIZE bytes crc32 CHECKSUM>, got \"<" + inside + ">\"");
    }
    std::optional<Bytes> bytes;
    if (options_.findBlock) bytes = options_.findBlock(size, crc);
    if (!bytes) {
      fail(path, "the line holds only the checksum of these " + std::to_string(size) +
                     " bytes; give the images' folder (--images) or use --format json");
    }
    at_ = close + 1;
    return Value{std::move(*bytes)};
  }

  std::string_view line_;
  const ParseOptions& options_;
  size_t at_ = 0;
};

Value wordSample(const TypeDesc& type, std::string_view line, const ParseOptions& options) {
  Value sample = defaultValue(type);
  sample.items()[0] = timeValue(options.stampSec, options.stampNsec);
  if (type.repositoryId == kTimedString) {
    sample.items()[1] = Value{std::string(line)};
    return sample;
  }
  Value::Items words;
  size_t start = 0;
  while (true) {
    size_t tab = line.find('\t', start);
    words.push_back(Value{std::string(line.substr(start, tab - start))});
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  sample.items()[1] = Value{std::move(words)};
  return sample;
}

}  // namespace

std::uint32_t crc32Of(const Bytes& bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  size_t at = 0;
  // zlib takes at most 4 GiB at a time.
  constexpr size_t kChunk = 1u << 30;
  while (at < bytes.size()) {
    size_t length = std::min(kChunk, bytes.size() - at);
    crc = crc32(crc, bytes.data() + at, static_cast<uInt>(length));
    at += length;
  }
  return static_cast<std::uint32_t>(crc);
}

std::string blockSummary(const Bytes& bytes) {
  char crc[16];
  std::snprintf(crc, sizeof crc, "%08x", crc32Of(bytes));
  return "<" + std::to_string(bytes.size()) + " bytes crc32 " + crc + ">";
}

bool isWordType(const TypeDesc& type) {
  return type.repositoryId == kTimedString || type.repositoryId == kTimedStringSeq;
}

std::string formatLine(const TypeDesc& type, const Value& value) {
  if (type.repositoryId == kTimedString) return value.items()[1].asString();
  if (type.repositoryId == kTimedStringSeq) {
    const Value::Items& words = value.items()[1].items();
    std::string line;
    for (size_t i = 0; i < words.size(); ++i) line += (i ? "\t" : "") + words[i].asString();
    return line;
  }
  return fieldsText(type, value);
}

Outcome<Value> parseLine(const TypeDesc& type, std::string_view line, const ParseOptions& options) {
  if (isWordType(type)) return Outcome<Value>::success(wordSample(type, line, options));
  try {
    LineParser parser(line, options);
    return Outcome<Value>::success(parser.topLevel(type));
  } catch (const ParseFailure& failure) {
    return Outcome<Value>::failure(failure.what());
  }
}

}  // namespace port_data
