#include "frame_caption.h"

namespace planviewer {
namespace {

// The planner's status lines fill at most the picture's bottom this many rows.
constexpr int kStatusArea_px = 60;

}  // namespace

bool isMapMissingPicture(const cv::Mat& picture) {
  if (picture.rows <= kStatusArea_px) return false;
  const int aboveStatus = picture.rows - kStatusArea_px;
  const cv::Mat above = picture(cv::Rect(0, 0, picture.cols, aboveStatus)).reshape(1);
  const cv::Mat status = picture(cv::Rect(0, aboveStatus, picture.cols, kStatusArea_px)).reshape(1);
  return cv::countNonZero(above) == 0 && cv::countNonZero(status) > 0;
}

FrameCaption CaptionCounter::next(const cv::Mat& picture, double now_s) {
  if (!first_s_) first_s_ = now_s;
  FrameCaption caption;
  caption.mapMissing = isMapMissingPicture(picture);
  if (!caption.mapMissing) ++steps_;
  caption.step = steps_;
  caption.time_s = (now_s - *first_s_) * timeScale_;
  return caption;
}

}  // namespace planviewer
