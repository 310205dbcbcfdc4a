#pragma once
// The coordinator's console: progress on one stream, failures on the other. The execution
// context and the worker print at the same time, so every write is whole and guarded.

#include <mutex>
#include <ostream>
#include <string>

namespace pickplace {

class Console {
 public:
  // Streams must outlive the console.
  Console(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Writes text as is on the progress stream and flushes.
  void print(const std::string& text);
  // Writes text and a line end on the error stream and flushes.
  void error(const std::string& line);

 private:
  std::mutex mutex_;
  std::ostream& out_;
  std::ostream& err_;
};

// printf-style formatting into a string.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The BEL character repeated count times; failed tasks' lines start with them.
std::string bells(int count);

}  // namespace pickplace
