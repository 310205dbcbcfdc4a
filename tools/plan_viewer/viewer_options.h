#pragma once
// PlanViewer's own command-line options; everything else goes to the middleware.
//
//   PlanViewer [--dir DIR] [--video FILE.avi] [--fps RATE] [-f rtc.conf] [-o key:value] ...

#include <string>
#include <vector>

#include "frame_writer.h"

namespace planviewer {

constexpr const char* kDefaultFrameDirectory = "plan_frames";
constexpr double kDefaultVideoRate_fps = 2.0;  // one planner cycle of 0.5 s per frame

struct ViewerCommandLine {
  FrameWriterOptions frames;
  std::vector<std::string> middlewareArguments;  // program name first
  std::string error;                             // empty when the line was understood
};

ViewerCommandLine parseViewerCommandLine(const std::vector<std::string>& arguments);

}  // namespace planviewer
