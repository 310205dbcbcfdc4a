#include "line_words.h"

#include <cctype>
#include <cstdlib>

namespace rtctl {

namespace {

// What a backslash stands before inside quotes.
const char* const kEscaped = "\"\\$";
// What makes a word need quotes.
const char* const kSpecial = " \t\r\n#\"\\$";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }

bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Reads a text one logical line at a time.
class LineReader {
 public:
  LineReader(const std::string& text, const VariableLookup& variables)
      : text_(text), variables_(variables) {}

  bool atEnd() const { return at_ >= text_.size(); }
  int physicalLine() const { return line_; }

  // The next logical line's words; the text of what is wrong with it, or "" when it is good.
  std::string read(std::vector<std::string>& words) {
    words.clear();
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (;;) {
      if (at_ >= text_.size() || text_[at_] == '\n') {
        if (quoted) return "a quote is not closed";
        if (at_ < text_.size()) ++at_;
        ++line_;
        break;
      }
      char c = text_[at_];
      if (!quoted && c == '#') {
        skipToLineEnd();
        continue;
      }
      if (!quoted && c == '\\' && continuesLine()) {
        skipToLineEnd();
        ++at_;
        ++line_;
        if (inWord) finishWord(word, words, inWord);
        continue;
      }
      if (!quoted && isBlank(c)) {
        if (inWord) finishWord(word, words, inWord);
        ++at_;
        continue;
      }
      inWord = true;
      if (c == '"') {
        quoted = !quoted;
        ++at_;
        continue;
      }
      if (quoted && c == '\\' && at_ + 1 < text_.size() &&
          std::string(kEscaped).find(text_[at_ + 1]) != std::string::npos) {
        word += text_[at_ + 1];
        at_ += 2;
        continue;
      }
      if (c == '$') {
        std::string error = expandVariable(word);
        if (!error.empty()) {
          skipToLineEnd();
          if (at_ < text_.size()) ++at_;
          ++line_;
          return error;
        }
        continue;
      }
      word += c;
      ++at_;
    }
    if (inWord) finishWord(word, words, inWord);
    return "";
  }

 private:
  void finishWord(std::string& word, std::vector<std::string>& words, bool& inWord) {
    words.push_back(word);
    word.clear();
    inWord = false;
  }

  // True when the '\' at at_ has only blanks or a comment after it on its line.
  bool continuesLine() const {
    for (size_t i = at_ + 1; i < text_.size() && text_[i] != '\n'; ++i) {
      if (text_[i] == '#') return true;
      if (!isBlank(text_[i])) return false;
    }
    return true;
  }

  void skipToLineEnd() {
    while (at_ < text_.size() && text_[at_] != '\n') ++at_;
  }

  // At a '$': appends the variable's value to word and moves past "${NAME}".
  std::string expandVariable(std::string& word) {
    size_t start = at_ + 2;
    if (at_ + 1 >= text_.size() || text_[at_ + 1] != '{' || start >= text_.size() ||
        !isNameStart(text_[start])) {
      return "a $ that is not a ${VARIABLE}";
    }
    size_t end = start;
    while (end < text_.size() && isNameChar(text_[end])) ++end;
    if (end >= text_.size() || text_[end] != '}') return "a $ that is not a ${VARIABLE}";
    std::string name = text_.substr(start, end - start);
    std::optional<std::string> value = variables_ ? variables_(name) : std::nullopt;
    if (!value) return "unknown variable ${" + name + "}";
    word += *value;
    at_ = end + 1;
    return "";
  }

  const std::string& text_;
  const VariableLookup& variables_;
  size_t at_ = 0;
  int line_ = 1;
};

}  // namespace

VariableLookup variablesFrom(std::vector<std::pair<std::string, std::string>> values,
                             bool fromEnvironment) {
  return [values = std::move(values),
          fromEnvironment](const std::string& name) -> std::optional<std::string> {
    for (auto it = values.rbegin(); it != values.rend(); ++it) {
      if (it->first == name) return it->second;
    }
    const char* value = fromEnvironment ? std::getenv(name.c_str()) : nullptr;
    if (value) return std::string(value);
    return std::nullopt;
  };
}

WordLines splitWordLines(const std::string& text, const VariableLookup& variables) {
  WordLines result;
  LineReader reader(text, variables);
  std::vector<std::string> words;
  while (!reader.atEnd()) {
    int first = reader.physicalLine();
    std::string error = reader.read(words);
    if (!error.empty()) {
      result.error = error;
      result.errorLine = first;
      return result;
    }
    if (!words.empty()) result.lines.push_back({first, words});
  }
  return result;
}

std::string quotedWord(const std::string& word) {
  if (!word.empty() && word.find_first_of(kSpecial) == std::string::npos) return word;
  std::string quoted = "\"";
  for (char c : word) {
    if (std::string(kEscaped).find(c) != std::string::npos) quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace rtctl
