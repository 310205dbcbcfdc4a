#include "demo_run.h"

#include <dirent.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace demo_test {
namespace {

std::string projectRoot() { return DEMO_PROJECT_ROOT; }

std::string readProcFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::string content = text.str();
  for (char& c : content) {
    if (c == '\0') c = ' ';
  }
  return content;
}

std::string linkTarget(const std::string& path) {
  char target[4096];
  const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
  return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : "";
}

}  // namespace

DemoRun::DemoRun(const std::vector<std::string>& arguments) : parent_("mm-demo-") {
  outDir_ = parent_.path() + "/out";
  std::vector<std::string> all{"--fast", "--no-build", "--out", outDir_};
  all.insert(all.end(), arguments.begin(), arguments.end());
  test_support::ChildOptions options;
  options.environment = {{"DEMO_BIN", test_support::binDir()}};
  options.label = "scripts/demo";
  process_ =
      std::make_unique<test_support::ChildProcess>(projectRoot() + "/scripts/demo", all, options);
}

std::string DemoRun::logOf(const std::string& program) const {
  return test_support::readFile(outDir_ + "/logs/" + program + ".log");
}

std::vector<std::string> DemoRun::processesLeft() const {
  std::vector<std::string> left;
  DIR* proc = opendir("/proc");
  if (!proc) return left;
  while (dirent* entry = readdir(proc)) {
    const std::string pid = entry->d_name;
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string base = "/proc/" + pid;
    const std::string commandLine = readProcFile(base + "/cmdline");
    const std::string cwd = linkTarget(base + "/cwd");
    if (commandLine.find(outDir_) != std::string::npos || cwd.rfind(outDir_, 0) == 0) {
      left.push_back(pid + ": " + commandLine);
    }
  }
  closedir(proc);
  return left;
}

}  // namespace demo_test
