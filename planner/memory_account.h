#pragma once

#include <cstddef>
#include <cstdint>

#include <opencv2/core.hpp>

namespace planner {

// Running count of the bytes the planner holds for its grid and images, as the console
// reports it each cycle. Every allocation adds its size, every release subtracts it.
class MemoryAccount {
 public:
  void add(std::size_t bytes) { inUse_bytes_ += static_cast<std::int32_t>(bytes); }
  void subtract(std::size_t bytes) { inUse_bytes_ -= static_cast<std::int32_t>(bytes); }
  std::int32_t inUse_bytes() const { return inUse_bytes_; }

 private:
  std::int32_t inUse_bytes_ = 0;
};

// Bytes an image holds: its header plus its pixel buffer.
inline std::size_t imageBytes(const cv::Mat& image) {
  return sizeof(cv::Mat) + image.total() * image.elemSize();
}

}  // namespace planner
