#include "viewer_options.h"

#include "program_options.h"

namespace planviewer {

ViewerCommandLine parseViewerCommandLine(const std::vector<std::string>& arguments) {
  const auto split = programoptions::splitCommandLine(arguments, {"--dir", "--video", "--fps"});
  ViewerCommandLine line;
  line.middlewareArguments = split.middlewareArguments;
  line.error = split.error;
  line.frames.directory = kDefaultFrameDirectory;
  line.frames.videoRate_fps = kDefaultVideoRate_fps;
  for (const auto& [option, value] : split.own) {
    if (option == "--dir") line.frames.directory = value;
    if (option == "--video") line.frames.videoPath = value;
    if (option == "--fps" && !programoptions::readPositive(value, line.frames.videoRate_fps))
      line.error = "--fps needs a positive number, not '" + value + "'";
  }
  if (line.error.empty() && line.frames.directory.empty()) line.error = "--dir needs a folder";
  return line;
}

}  // namespace planviewer
