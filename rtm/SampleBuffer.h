// A bounded first-in first-out queue shared by one writer and one reader thread: when full,
// a new item pushes out the oldest one.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <utility>

namespace RTC {

template <class Item>
class SampleBuffer {
 public:
  // Capacity of at least one item.
  explicit SampleBuffer(size_t capacity) : m_capacity(capacity ? capacity : 1) {}

  // Returns true when an older item was dropped to make room.
  bool push(Item item) {
    std::lock_guard<std::mutex> lock(m_mutex);
    bool dropped = false;
    if (m_items.size() >= m_capacity) {
      m_items.pop_front();
      ++m_droppedCount;
      dropped = true;
    }
    m_items.push_back(std::move(item));
    return dropped;
  }

  // Takes the oldest item; false when empty.
  bool pop(Item& item) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_items.empty()) return false;
    item = std::move(m_items.front());
    m_items.pop_front();
    return true;
  }

  bool empty() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_items.empty();
  }

  size_t size() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_items.size();
  }

  size_t capacity() const { return m_capacity; }

  size_t droppedCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_droppedCount;
  }

 private:
  const size_t m_capacity;
  mutable std::mutex m_mutex;
  std::deque<Item> m_items;
  size_t m_droppedCount = 0;
};

}  // namespace RTC
