#pragma once
// A thread that asks a program's components (or the name server) every kProbeInterval
// whether they still answer, each call limited so that a hung process cannot hold it up, and
// keeps when they all last answered and in which state each component was. rtctl launch
// reads both from its own thread.
#include <RTC.hh>

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace rtctl {

class AnswerProbe {
 public:
  static constexpr std::chrono::milliseconds kProbeInterval{100};

  struct Target {
    std::string name;
    RTC::RTObject_var component;        // asked for its state in context
    RTC::ExecutionContext_var context;  // nil: object is asked whether it exists instead
    CORBA::Object_var object;
  };

  AnswerProbe(std::vector<Target> targets, std::chrono::milliseconds callTimeout);
  ~AnswerProbe();
  AnswerProbe(const AnswerProbe&) = delete;
  AnswerProbe& operator=(const AnswerProbe&) = delete;

  // Seconds since every target last answered (counted from the probe's start until then).
  double silentFor_s() const;
  // Each component's state ("Active", ...) in the order of the targets, as found by the
  // latest round of questions that began after `since` and answered in full; nothing when
  // there is none yet.
  std::optional<std::vector<std::pair<std::string, std::string>>> statesSince(
      std::chrono::steady_clock::time_point since) const;

 private:
  void run();
  // One round of questions; the states it found when every target answered.
  std::optional<std::vector<std::pair<std::string, std::string>>> askAll();

  std::vector<Target> targets_;
  std::chrono::milliseconds callTimeout_;
  std::atomic<bool> stop_{false};
  std::atomic<std::chrono::steady_clock::rep> lastAnswer_;
  mutable std::mutex statesMutex_;
  std::vector<std::pair<std::string, std::string>> states_;  // of the last full round
  std::chrono::steady_clock::time_point statesAsked_;        // when that round began
  std::thread thread_;
};

}  // namespace rtctl
