#include "stringutil.h"

#include <algorithm>
#include <cctype>

namespace coil {

template <>
bool stringTo<std::string>(std::string& val, const char* str) {
  if (str == nullptr) return false;
  val = str;
  return true;
}

template <>
bool stringTo<bool>(bool& val, const char* str) {
  if (str == nullptr) return false;
  const std::string word = toLower(trim(str));
  if (word == "true" || word == "yes" || word == "on" || word == "1") {
    val = true;
    return true;
  }
  if (word == "false" || word == "no" || word == "off" || word == "0") {
    val = false;
    return true;
  }
  return false;
}

template <>
bool stringTo<char>(char& val, const char* str) {
  if (str == nullptr) return false;
  const std::string text = trim(str);
  if (text.size() != 1) return false;
  val = text[0];
  return true;
}

std::string trim(const std::string& text) {
  const char* blanks = " \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

std::string toLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::vector<std::string> split(const std::string& text, const std::string& delimiter) {
  std::vector<std::string> parts;
  if (trim(text).empty()) return parts;
  size_t start = 0;
  while (true) {
    size_t end = text.find(delimiter, start);
    parts.push_back(trim(text.substr(start, end == std::string::npos ? end : end - start)));
    if (end == std::string::npos) break;
    start = end + delimiter.size();
  }
  return parts;
}

}  // namespace coil
