// Conversions from text, as configuration parameters and rtc.conf values need them.
#pragma once

#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace coil {

// Converts the whole of `str` (surrounding blanks aside) to `val`. Returns false and
// leaves `val` untouched when the text is not entirely a value of T ("0.5x", "", "abc"
// for a number).
template <typename T>
bool stringTo(T& val, const char* str) {
  if (str == nullptr) return false;
  // Streams would wrap "-1" round into an unsigned type.
  if constexpr (std::is_integral<T>::value && std::is_unsigned<T>::value)
    if (std::string(str).find('-') != std::string::npos) return false;
  std::istringstream in(str);
  T converted;
  if (!(in >> converted)) return false;
  in >> std::ws;
  if (!in.eof()) return false;
  val = converted;
  return true;
}

// The text itself, as it stands.
template <>
bool stringTo<std::string>(std::string& val, const char* str);

// "true"/"false", "yes"/"no", "on"/"off", "1"/"0", in any letter case.
template <>
bool stringTo<bool>(bool& val, const char* str);

// Exactly one character.
template <>
bool stringTo<char>(char& val, const char* str);

// Splits at `delimiter`, trimming blanks around each part; an empty text gives no parts.
std::vector<std::string> split(const std::string& text, const std::string& delimiter);
std::string trim(const std::string& text);
std::string toLower(std::string text);

}  // namespace coil
