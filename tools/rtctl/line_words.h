#pragma once
// The lines of a system file as words: "#" starts a comment, a "\" at the end of a line
// continues it on the next, words are separated by blanks, double quotes keep blanks and "#"
// inside one word (\", \\ and \$ stand for ", \ and $ there), and ${NAME} is replaced by the
// value of the variable NAME (never split further). Plain text work.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rtctl {

// The value of a variable, or nothing when it is unknown.
using VariableLookup = std::function<std::optional<std::string>(const std::string& name)>;

// The values given (the last of a name wins), then, with fromEnvironment, the environment's.
VariableLookup variablesFrom(std::vector<std::pair<std::string, std::string>> values,
                             bool fromEnvironment);

struct WordLine {
  int number = 0;  // of the line's first physical line, from 1
  std::vector<std::string> words;
};

struct WordLines {
  std::vector<WordLine> lines;  // lines without words are left out
  // What is wrong with the first bad line, and its number; empty when all are good.
  std::string error;
  int errorLine = 0;
};

WordLines splitWordLines(const std::string& text, const VariableLookup& variables);

// The word as it must be written to be read back as itself: as it is when it holds nothing
// special, else in double quotes with ", \ and $ escaped.
std::string quotedWord(const std::string& word);

}  // namespace rtctl
