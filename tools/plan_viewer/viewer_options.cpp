#include "viewer_options.h"

#include <cmath>
#include <cstdlib>

namespace planviewer {

ViewerCommandLine parseViewerCommandLine(const std::vector<std::string>& arguments) {
  ViewerCommandLine line;
  line.frames.directory = kDefaultFrameDirectory;
  line.frames.videoRate_fps = kDefaultVideoRate_fps;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    const bool ours = word == "--dir" || word == "--video" || word == "--fps";
    if (i == 0 || !ours) {
      line.middlewareArguments.push_back(word);
      continue;
    }
    if (i + 1 >= arguments.size()) {
      line.error = word + " needs a value";
      return line;
    }
    const std::string& value = arguments[++i];
    if (word == "--dir") {
      line.frames.directory = value;
    } else if (word == "--video") {
      line.frames.videoPath = value;
    } else {
      char* end = nullptr;
      const double rate = std::strtod(value.c_str(), &end);
      if (end == value.c_str() || *end != '\0' || !std::isfinite(rate) || rate <= 0.0) {
        line.error = "--fps needs a positive number, not '" + value + "'";
        return line;
      }
      line.frames.videoRate_fps = rate;
    }
  }
  if (line.frames.directory.empty()) line.error = "--dir needs a folder";
  return line;
}

}  // namespace planviewer
