// The middleware's log: one sink per process (a file, standard output or standard error),
// set from rtc.conf's logger.* keys, with a level threshold.
#pragma once

#include <cstdarg>
#include <optional>
#include <string>

namespace RTC {

enum class LogLevel { SILENT, FATAL, ERROR, WARN, INFO, DEBUG, TRACE, VERBOSE, PARANOID };

// "TRACE" or "trace" → LogLevel::TRACE; nothing for a word that is not a level.
std::optional<LogLevel> parseLogLevel(const std::string& name);
const char* logLevelName(LogLevel level);

// A named source of log lines ("manager", "Brisko0"). Lines are written whole, one at a
// time, from any thread.
class Logger {
 public:
  explicit Logger(std::string name);

  bool enabled(LogLevel level) const;
  void log(LogLevel level, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void vlog(LogLevel level, const char* format, va_list args);

  const std::string& name() const { return m_name; }

  // Process-wide sink set-up. `file_name` is a path, "STDOUT" or "STDERR"; "%p" in it
  // becomes the process id. Lines at WARN or worse also go to standard error when the
  // sink is a file, so that the operator sees them. Until configured, and when disabled,
  // the log writes WARN and worse to standard error only. Returns what went wrong (the
  // file cannot be opened: the log then writes as if disabled), empty when all is well.
  static std::string configure(bool enable, LogLevel level, const std::string& file_name);
  // Flushes and closes the sink; later lines go as if the log were disabled.
  static void shutdown();
  static LogLevel level();

 private:
  std::string m_name;
};

}  // namespace RTC

#define RTC_LOG(logger, lvl, ...)                                                            \
  do {                                                                                       \
    if ((logger).enabled(RTC::LogLevel::lvl)) (logger).log(RTC::LogLevel::lvl, __VA_ARGS__); \
  } while (0)
