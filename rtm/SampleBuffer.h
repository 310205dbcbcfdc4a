// A bounded first-in first-out queue shared by writer and reader threads. When full, push()
// makes room by dropping the oldest item; pushWithin() instead waits for the reader to make
// room, so that nothing is lost, and gives up after a bounded time.
#pragma once

#include <chrono>
#include <condition_variable>
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
    m_readable.notify_all();
    return dropped;
  }

  // Appends `item` once there is room, waiting at most `timeout` for the reader; false,
  // with the item not taken, when there was no room in time or the buffer was closed.
  bool pushWithin(Item item, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_writable.wait_for(lock, timeout,
                             [this] { return m_closed || m_items.size() < m_capacity; }) ||
        m_closed) {
      ++m_refusedCount;
      return false;
    }
    m_items.push_back(std::move(item));
    m_readable.notify_all();
    return true;
  }

  // Takes the oldest item; false when empty.
  bool pop(Item& item) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return takeFront(item);
  }

  // Takes the oldest item, waiting at most `timeout` for one to arrive.
  bool popWithin(Item& item, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_readable.wait_for(lock, timeout, [this] { return m_closed || !m_items.empty(); });
    return takeFront(item);
  }

  // Ends every wait at once and refuses later waiting pushes; used when the port goes.
  void close() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_closed = true;
    m_writable.notify_all();
    m_readable.notify_all();
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

  // Items pushed out by push() to make room.
  size_t droppedCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_droppedCount;
  }
  // Items that pushWithin() could not place.
  size_t refusedCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_refusedCount;
  }

 private:
  bool takeFront(Item& item) {
    if (m_items.empty()) return false;
    item = std::move(m_items.front());
    m_items.pop_front();
    m_writable.notify_all();
    return true;
  }

  const size_t m_capacity;
  mutable std::mutex m_mutex;
  std::condition_variable m_writable;
  std::condition_variable m_readable;
  std::deque<Item> m_items;
  size_t m_droppedCount = 0;
  size_t m_refusedCount = 0;
  bool m_closed = false;
};

}  // namespace RTC
