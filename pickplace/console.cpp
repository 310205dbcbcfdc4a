#include "console.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace pickplace {

void Console::print(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  out_ << text << std::flush;
}

void Console::error(const std::string& line) {
  std::lock_guard<std::mutex> lock(mutex_);
  err_ << line << std::endl;
}

std::string formatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (length > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    text.assign(buffer.data(), static_cast<std::size_t>(length));
  }
  va_end(args);
  return text;
}

std::string bells(int count) { return std::string(static_cast<std::size_t>(count), '\a'); }

}  // namespace pickplace
