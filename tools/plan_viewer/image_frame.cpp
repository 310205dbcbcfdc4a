#include "image_frame.h"

#include <opencv2/imgproc.hpp>

namespace planviewer {
namespace {

constexpr int kBitsPerByte = 8;
constexpr int kBottomUpOrigin = 1;
// Larger pictures are not planning images; refusing them bounds what a bad header can cost.
constexpr std::int64_t kMaxSide_px = 16384;

FrameResult refused(const std::string& why) {
  FrameResult result;
  result.error = why;
  return result;
}

}  // namespace

FrameResult toBgrFrame(const RawImage& image) {
  if (image.depth != kBitsPerByte)
    return refused("depth " + std::to_string(image.depth) + " is not 8 bits");
  if (image.nChannels != 1 && image.nChannels != 3)
    return refused(std::to_string(image.nChannels) + " channels (1 or 3 expected)");
  if (image.width <= 0 || image.height <= 0 || image.width > kMaxSide_px ||
      image.height > kMaxSide_px)
    return refused("size " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                   " out of range");
  const std::int64_t pixelRow_bytes = std::int64_t{image.width} * image.nChannels;
  if (image.widthStep != 0 && image.widthStep < pixelRow_bytes)
    return refused("widthStep " + std::to_string(image.widthStep) + " shorter than a row of " +
                   std::to_string(pixelRow_bytes) + " bytes");
  const std::int64_t row_bytes = image.widthStep != 0 ? image.widthStep : pixelRow_bytes;
  const std::int64_t needed_bytes = row_bytes * image.height;
  if (image.imageSize != 0 && static_cast<std::uint64_t>(image.imageSize) != image.byteCount)
    return refused("imageSize " + std::to_string(image.imageSize) + " but " +
                   std::to_string(image.byteCount) + " bytes of data");
  if (static_cast<std::uint64_t>(needed_bytes) > image.byteCount)
    return refused(std::to_string(image.width) + " x " + std::to_string(image.height) + " x " +
                   std::to_string(image.nChannels) + " needs " + std::to_string(needed_bytes) +
                   " bytes, got " + std::to_string(image.byteCount));

  const int type = image.nChannels == 3 ? CV_8UC3 : CV_8UC1;
  // A view on the sender's bytes; the copy below owns its pixels.
  const cv::Mat received(image.height, image.width, type, const_cast<std::uint8_t*>(image.bytes),
                         static_cast<std::size_t>(row_bytes));
  FrameResult result;
  if (image.nChannels == 3) {
    result.bgr = received.clone();
  } else {
    cv::cvtColor(received, result.bgr, cv::COLOR_GRAY2BGR);
  }
  if (image.origin == kBottomUpOrigin) cv::flip(result.bgr, result.bgr, 0);
  result.ok = true;
  return result;
}

}  // namespace planviewer
