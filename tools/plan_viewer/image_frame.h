#pragma once
// Turning a received planning image (the header values and pixel bytes of an interleaved
// 8-bit image) into a BGR picture, refusing samples whose sizes do not add up.

#include <cstddef>
#include <cstdint>
#include <string>

#include <opencv2/core.hpp>

namespace planviewer {

// The fields of an image sample as they travel; `widthStep` 0 (unset) means rows of
// width × nChannels bytes without padding.
struct RawImage {
  std::int32_t nChannels = 0;
  std::int32_t depth = 0;   // bits per channel
  std::int32_t origin = 0;  // 0: first row on top; 1: first row at the bottom
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t imageSize = 0;  // bytes the sender says it sent; 0 when unset
  std::int32_t widthStep = 0;
  const std::uint8_t* bytes = nullptr;
  std::size_t byteCount = 0;
};

// Either a BGR picture (its own copy of the pixels) or why the sample was refused.
struct FrameResult {
  bool ok = false;
  cv::Mat bgr;
  std::string error;
};

// One- and three-channel 8-bit images are accepted (three channels in blue, green, red order);
// a bottom-up image is turned upright.
FrameResult toBgrFrame(const RawImage& image);

}  // namespace planviewer
