#include "frame_writer.h"

#include <cstdio>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace planviewer {

FrameWriter::FrameWriter(const FrameWriterOptions& options) : options_(options) {}

std::string FrameWriter::frameFileName(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "frame_%06d.png", number);
  return name;
}

std::string FrameWriter::write(const cv::Mat& bgr) {
  const std::string framePath = options_.directory + "/" + frameFileName(framesWritten_ + 1);
  try {
    if (!cv::imwrite(framePath, bgr)) return "cannot write " + framePath;
    const std::string latest = options_.directory + "/latest.png";
    const std::string partial = options_.directory + "/.latest.png.part.png";
    if (!cv::imwrite(partial, bgr) || std::rename(partial.c_str(), latest.c_str()) != 0)
      return "cannot replace " + latest;
  } catch (const cv::Exception& error) {
    return "cannot write " + framePath + ": " + error.what();
  }
  ++framesWritten_;

  if (options_.videoPath.empty() || videoFinished_) return "";
  if (!video_.isOpened()) {
    videoSize_ = bgr.size();
    video_.open(options_.videoPath, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'),
                options_.videoRate_fps, videoSize_, true);
    if (!video_.isOpened()) {
      videoFinished_ = true;
      return "cannot open the video " + options_.videoPath;
    }
  }
  // A video keeps one frame size; a frame of another size is scaled to it.
  if (bgr.size() == videoSize_) {
    video_.write(bgr);
  } else {
    cv::Mat scaled;
    cv::resize(bgr, scaled, videoSize_);
    video_.write(scaled);
  }
  return "";
}

void FrameWriter::finish() {
  if (video_.isOpened()) video_.release();
  videoFinished_ = true;
}

}  // namespace planviewer
