#include "Logger.h"

#include <unistd.h>

#include <coil/stringutil.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

namespace RTC {
namespace {
constexpr std::array<const char*, 9> kLevelNames = {"SILENT", "FATAL", "ERROR",   "WARN",    "INFO",
                                                    "DEBUG",  "TRACE", "VERBOSE", "PARANOID"};

struct Sink {
  std::mutex mutex;
  FILE* file = nullptr;
  bool ownsFile = false;
  bool echoWarnings = true;
  // Lines at or below fileLevel go to the file; warnings reach the operator regardless.
  std::atomic<int> fileLevel{static_cast<int>(LogLevel::SILENT)};
  std::atomic<int> level{static_cast<int>(LogLevel::WARN)};
};

Sink& sink() {
  static Sink instance;
  return instance;
}

std::string timeStamp() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t seconds = system_clock::to_time_t(now);
  long millis =
      static_cast<long>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[64];
  size_t length = std::strftime(text, sizeof text, "%b %d %H:%M:%S", &local);
  std::snprintf(text + length, sizeof text - length, ".%03ld", millis);
  return text;
}
}  // namespace

std::optional<LogLevel> parseLogLevel(const std::string& name) {
  const std::string word = coil::toLower(coil::trim(name));
  for (size_t i = 0; i < kLevelNames.size(); ++i)
    if (word == coil::toLower(kLevelNames[i])) return static_cast<LogLevel>(i);
  return std::nullopt;
}

const char* logLevelName(LogLevel level) { return kLevelNames[static_cast<size_t>(level)]; }

Logger::Logger(std::string name) : m_name(std::move(name)) {}

bool Logger::enabled(LogLevel level) const {
  return level != LogLevel::SILENT &&
         static_cast<int>(level) <= sink().level.load(std::memory_order_relaxed);
}

void Logger::log(LogLevel level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vlog(level, format, args);
  va_end(args);
}

void Logger::vlog(LogLevel level, const char* format, va_list args) {
  if (!enabled(level)) return;
  char message[2048];
  std::vsnprintf(message, sizeof message, format, args);
  const std::string line =
      timeStamp() + " " + logLevelName(level) + ": " + m_name + ": " + message + "\n";
  Sink& target = sink();
  std::lock_guard<std::mutex> lock(target.mutex);
  if (target.file != nullptr && static_cast<int>(level) <= target.fileLevel.load()) {
    std::fputs(line.c_str(), target.file);
    std::fflush(target.file);
  }
  if (level <= LogLevel::WARN && (target.file == nullptr || target.echoWarnings)) {
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
  }
}

std::string Logger::configure(bool enable, LogLevel level, const std::string& file_name) {
  Sink& target = sink();
  std::lock_guard<std::mutex> lock(target.mutex);
  if (target.ownsFile && target.file != nullptr) std::fclose(target.file);
  target.file = nullptr;
  target.ownsFile = false;
  target.echoWarnings = true;
  target.fileLevel = static_cast<int>(LogLevel::SILENT);
  target.level = static_cast<int>(LogLevel::WARN);
  if (!enable) return "";
  if (file_name == "STDOUT" || file_name == "stdout") {
    target.file = stdout;
    target.echoWarnings = false;
  } else if (file_name == "STDERR" || file_name == "stderr") {
    target.file = stderr;
    target.echoWarnings = false;
  } else {
    std::string path = file_name;
    for (size_t at = path.find("%p"); at != std::string::npos; at = path.find("%p"))
      path.replace(at, 2, std::to_string(getpid()));
    target.file = std::fopen(path.c_str(), "a");
    if (target.file == nullptr)
      return "cannot be opened as " + path + " (" + std::strerror(errno) + ")";
    target.ownsFile = true;
  }
  target.fileLevel = static_cast<int>(level);
  if (static_cast<int>(level) > target.level) target.level = static_cast<int>(level);
  return "";
}

void Logger::shutdown() {
  Sink& target = sink();
  std::lock_guard<std::mutex> lock(target.mutex);
  if (target.file != nullptr) std::fflush(target.file);
  if (target.ownsFile && target.file != nullptr) std::fclose(target.file);
  target.file = nullptr;
  target.ownsFile = false;
  target.fileLevel = static_cast<int>(LogLevel::SILENT);
  target.level = static_cast<int>(LogLevel::WARN);
}

LogLevel Logger::level() { return static_cast<LogLevel>(sink().fileLevel.load()); }

}  // namespace RTC
