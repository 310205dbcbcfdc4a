#pragma once
// Reading drawn pictures back in the tests.

#include <opencv2/core.hpp>

namespace scene_views {

inline bool hasColour(const cv::Mat& picture, cv::Point at, const cv::Scalar& colour) {
  if (at.x < 0 || at.y < 0 || at.x >= picture.cols || at.y >= picture.rows) return false;
  const cv::Vec3b pixel = picture.at<cv::Vec3b>(at);
  for (int channel = 0; channel < 3; ++channel) {
    if (pixel[channel] != static_cast<unsigned char>(colour[channel])) return false;
  }
  return true;
}

// How many pixels of `colour` run to the right from `from`, `from` included.
inline int inkRunLength(const cv::Mat& picture, cv::Point from, const cv::Scalar& colour) {
  int length = 0;
  while (hasColour(picture, {from.x + length, from.y}, colour)) ++length;
  return length;
}

// Pixels that differ from the background.
inline int inkedPixels(const cv::Mat& picture, const cv::Scalar& background) {
  int count = 0;
  for (int y = 0; y < picture.rows; ++y) {
    for (int x = 0; x < picture.cols; ++x) {
      if (!hasColour(picture, {x, y}, background)) ++count;
    }
  }
  return count;
}

// Pixels of exactly that colour.
inline int pixelsOf(const cv::Mat& picture, const cv::Scalar& colour) {
  return picture.rows * picture.cols - inkedPixels(picture, colour);
}

}  // namespace scene_views
