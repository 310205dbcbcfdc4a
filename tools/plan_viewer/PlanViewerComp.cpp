// The planning-image viewer's program.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <shell/component_shell.h>
#include <shell/program_command_line.h>

#include "PlanViewer.h"
#include "viewer_options.h"

namespace {

void moduleInit(RTC::Manager* manager) {
  shell::createComponentOrFail(manager, PlanViewerInit, "PlanViewer");
}

}  // namespace

int main(int argc, char** argv) {
  shell::ProgramCommandLine line(
      "PlanViewer",
      "Stores the planner's planning images as PNG frames (with step, time, scale and legend) "
      "and optionally a video.");
  planviewer::FrameWriterOptions frames;
  planviewer::addViewerOptions(line.app(), frames);
  if (std::optional<int> status = line.parse(argc, argv)) return *status;
  std::error_code error;
  std::filesystem::create_directories(frames.directory, error);
  if (error) {
    std::fprintf(stderr, "PlanViewer: cannot create %s: %s\n", frames.directory.c_str(),
                 error.message().c_str());
    return 1;
  }
  PlanViewer::setOptions(frames);
  return shell::runComponentProcess(line, moduleInit);
}
