#include "word_log.h"

namespace dashboard {

void WordLog::add(const std::string& word, double time_s) {
  words_.push_back({word, time_s});
  while (words_.size() > kMaxWords) words_.pop_front();
}

}  // namespace dashboard
