#pragma once
// Stores received planning images: numbered PNG frames and latest.png in one folder, and
// optionally one video of the whole run (Motion-JPEG in an AVI file, played by common players).

#include <string>

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

namespace planviewer {

struct FrameWriterOptions {
  std::string directory;  // must exist
  std::string videoPath;  // empty: no video
  double videoRate_fps = 2.0;
};

class FrameWriter {
 public:
  explicit FrameWriter(const FrameWriterOptions& options);
  FrameWriter(const FrameWriter&) = delete;
  FrameWriter& operator=(const FrameWriter&) = delete;

  // Writes "frame_000001.png" (numbered from 1), then replaces "latest.png" in one rename so a
  // reader never sees half a file; appends to the video. Empty on success, else why not.
  std::string write(const cv::Mat& bgr);
  // Completes the video file; later frames start no new video.
  void finish();

  int framesWritten() const { return framesWritten_; }
  static std::string frameFileName(int number);

 private:
  const FrameWriterOptions options_;
  cv::VideoWriter video_;
  cv::Size videoSize_;
  bool videoFinished_ = false;
  int framesWritten_ = 0;
};

}  // namespace planviewer
