#include "station_command.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace routesupervisor {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(20);

std::string describeStatus(int status) {
  if (WIFEXITED(status)) return "exit code " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  return "status " + std::to_string(status);
}

}  // namespace

CommandOutcome runStationCommand(const std::string& commandLine, double timeout_s) {
  const pid_t child = fork();
  if (child < 0) return {false, "cannot start the command"};
  if (child == 0) {
    setpgid(0, 0);  // its own group, so that a time-out ends its children as well
    execl("/bin/sh", "sh", "-c", commandLine.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  setpgid(child, child);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_s);
  int status = 0;
  while (true) {
    const pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) {
      const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
      return {ok, describeStatus(status)};
    }
    if (done < 0) return {false, "lost the command's process"};
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(-child, SIGKILL);
      waitpid(child, &status, 0);
      char text[64];
      std::snprintf(text, sizeof text, "timed out after %.1f s", timeout_s);
      return {false, text};
    }
    std::this_thread::sleep_for(kPollInterval);
  }
}

}  // namespace routesupervisor
