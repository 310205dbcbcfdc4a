#pragma once
// PlanViewer's own command-line options, each with its range; the middleware's options and
// --help/--version come from shell::ProgramCommandLine.
//
//   PlanViewer [--dir DIR] [--video FILE.avi] [--fps RATE] [-f rtc.conf] [-o key:value] ...

#include <CLI/CLI.hpp>

#include "frame_writer.h"

namespace planviewer {

constexpr const char* kDefaultFrameDirectory = "plan_frames";
constexpr double kDefaultVideoRate_fps = 2.0;  // one planner cycle of 0.5 s per frame
constexpr double kSlowestVideoRate_fps = 0.1;
constexpr double kFastestVideoRate_fps = 1000.0;

// Sets the defaults into `frames` and adds the options to `app`; parsing writes them into
// `frames`, which must outlive it.
void addViewerOptions(CLI::App& app, FrameWriterOptions& frames);

}  // namespace planviewer
