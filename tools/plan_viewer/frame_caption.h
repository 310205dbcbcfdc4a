#pragma once
// The step number and the time of each received picture. The planner publishes one picture per
// step of its route, and one per cycle without a map (black but for the status line at the
// bottom), which is no step; the time runs from the first picture, in simulated seconds when
// "clock.time_scale" says the run is faster than real time.

#include <optional>

#include <opencv2/core.hpp>

namespace planviewer {

struct FrameCaption {
  int step = 0;             // the planner steps seen so far, this picture's included
  double time_s = 0.0;      // since the first picture
  bool mapMissing = false;  // a picture from a cycle without a map (not a step)
};

// True for the picture the planner publishes in a cycle without a map: black but for the status
// lines at the bottom.
bool isMapMissingPicture(const cv::Mat& picture);

class CaptionCounter {
 public:
  explicit CaptionCounter(double timeScale) : timeScale_(timeScale) {}
  // The caption of the next picture, received at `now_s` (wall clock, seconds).
  FrameCaption next(const cv::Mat& picture, double now_s);

 private:
  const double timeScale_;
  std::optional<double> first_s_;
  int steps_ = 0;
};

}  // namespace planviewer
