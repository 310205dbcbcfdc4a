#pragma once
// A picture written as a PNG file whole or not at all: it goes to a temporary file beside the
// target first and is renamed over it, so that nobody reads half a picture.

#include <string>

#include <opencv2/core.hpp>

namespace run_pictures {

// Empty on success, otherwise why the file could not be written.
std::string writePng(const cv::Mat& picture, const std::string& path);

}  // namespace run_pictures
