#include "inbox.h"

#include <utility>

namespace dashboard {

void Inbox::addWord(WordTarget source, const std::string& word, double time_s) {
  std::lock_guard<std::mutex> lock(mutex_);
  contents_.words.push_back({source, word, time_s});
  if (contents_.words.size() > kMaxWords) contents_.words.erase(contents_.words.begin());
}

void Inbox::setFrame(ReceivedFrame frame) {
  std::lock_guard<std::mutex> lock(mutex_);
  contents_.frame = std::move(frame);
}

Inbox::Contents Inbox::take() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(contents_, Contents{});
}

}  // namespace dashboard
