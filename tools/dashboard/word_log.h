#pragma once
// The last words seen on one string port (or sent by the dashboard), each with the wall-clock
// time it was seen, newest last. Bounded: the oldest word goes when the log is full.
#include <cstddef>
#include <deque>
#include <string>

namespace dashboard {

struct TimedWord {
  std::string word;
  double time_s = 0.0;  // seconds since the Unix epoch
};

class WordLog {
 public:
  static constexpr std::size_t kMaxWords = 20;

  void add(const std::string& word, double time_s);
  const std::deque<TimedWord>& words() const { return words_; }

 private:
  std::deque<TimedWord> words_;
};

}  // namespace dashboard
