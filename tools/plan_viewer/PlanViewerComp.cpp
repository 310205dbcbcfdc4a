// The planning-image viewer's program.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <shell/component_shell.h>

#include "program_options.h"

#include "PlanViewer.h"
#include "viewer_options.h"

namespace {

constexpr int kUsageError = 2;

void moduleInit(RTC::Manager* manager) {
  shell::createComponentOrFail(manager, PlanViewerInit, "PlanViewer");
}

}  // namespace

int main(int argc, char** argv) {
  const auto line = planviewer::parseViewerCommandLine(std::vector<std::string>(argv, argv + argc));
  if (!line.error.empty()) {
    std::fprintf(stderr,
                 "PlanViewer: %s\nusage: PlanViewer [--dir DIR] [--video FILE.avi] [--fps RATE] "
                 "[middleware options]\n",
                 line.error.c_str());
    return kUsageError;
  }
  std::error_code error;
  std::filesystem::create_directories(line.frames.directory, error);
  if (error) {
    std::fprintf(stderr, "PlanViewer: cannot create %s: %s\n", line.frames.directory.c_str(),
                 error.message().c_str());
    return 1;
  }
  PlanViewer::setOptions(line.frames);
  programoptions::MiddlewareArgv middleware(line.middlewareArguments);
  return shell::runComponentProcess(middleware.argc(), middleware.argv(), moduleInit);
}
