#include "picture_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <opencv2/imgcodecs.hpp>

namespace run_pictures {

std::string writePng(const cv::Mat& picture, const std::string& path) {
  std::vector<unsigned char> bytes;
  if (picture.empty() || !cv::imencode(".png", picture, bytes)) {
    return path + ": the picture cannot be encoded as PNG";
  }
  const std::string temporary = path + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return temporary + ": " + std::strerror(errno);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int writeError = errno;
  if (std::fclose(file) != 0 || !written) {
    const std::string reason = std::strerror(written ? errno : writeError);
    std::remove(temporary.c_str());
    return temporary + ": " + reason;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    std::remove(temporary.c_str());
    return path + ": " + reason;
  }
  return "";
}

}  // namespace run_pictures
