#include "viewer_options.h"

#include <shell/program_command_line.h>

#include <sstream>

namespace planviewer {

void addViewerOptions(CLI::App& app, FrameWriterOptions& frames) {
  frames.directory = kDefaultFrameDirectory;
  frames.videoRate_fps = kDefaultVideoRate_fps;
  app.add_option("--dir", frames.directory, "folder of the frames, created when missing")
      ->type_name("DIR")
      ->check([](const std::string& folder) -> std::string {
        return folder.empty() ? "needs a folder" : "";
      })
      ->capture_default_str();
  app.add_option("--video", frames.videoPath,
                 "also write the run as a Motion-JPEG AVI video (plays in common players)")
      ->type_name("FILE.avi");
  std::ostringstream what;
  what << "frames per second of the video (" << kSlowestVideoRate_fps << " to "
       << kFastestVideoRate_fps << ")";
  app.add_option("--fps", frames.videoRate_fps, what.str())
      ->type_name("RATE")
      ->check(shell::finiteBetween(kSlowestVideoRate_fps, kFastestVideoRate_fps))
      ->capture_default_str();
}

}  // namespace planviewer
