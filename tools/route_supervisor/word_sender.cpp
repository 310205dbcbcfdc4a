#include "word_sender.h"

namespace routesupervisor {

WordSender::WordSender(Write write) : write_(std::move(write)), thread_([this] { run(); }) {}

WordSender::~WordSender() { stop(); }

void WordSender::send(const std::string& word) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return;
    queue_.push_back(word);
  }
  wake_.notify_all();
}

void WordSender::stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void WordSender::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    const std::string word = queue_.front();
    queue_.pop_front();
    lock.unlock();
    write_(word);
    lock.lock();
  }
}

}  // namespace routesupervisor
