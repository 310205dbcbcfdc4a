#include "child_program.h"

#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "failure.h"
#include "time_text.h"

extern char** environ;

namespace rtctl {

namespace {

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void execChild(char* const argv[], char* const envp[], const char* folder, int logFd,
                            pid_t parent, int errorPipe) {
  setsid();
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != parent) _exit(127);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD}) signal(sig, SIG_DFL);
  int in = open("/dev/null", O_RDONLY);
  if (in < 0 || dup2(in, 0) < 0 || dup2(logFd, 1) < 0 || dup2(logFd, 2) < 0)
    failForkedChild(errorPipe);
  if (chdir(folder) != 0) failForkedChild(errorPipe);
  execve(argv[0], argv, envp);
  failForkedChild(errorPipe);
}

std::string commandText(const std::vector<std::string>& argv) {
  std::string text;
  for (const std::string& word : argv) text += (text.empty() ? "" : " ") + word;
  return text;
}

}  // namespace

pid_t startChildProgram(const std::vector<std::string>& argv,
                        const std::vector<std::pair<std::string, std::string>>& environment,
                        const std::string& workingFolder, const std::string& logPath) {
  std::error_code error;
  std::filesystem::create_directories(workingFolder, error);
  if (error)
    throw Failure("cannot make the working folder " + workingFolder + ": " + error.message());
  std::filesystem::create_directories(std::filesystem::path(logPath).parent_path(), error);
  if (error) throw Failure("cannot make the folder of " + logPath + ": " + error.message());
  {
    std::ofstream log(logPath, std::ios::app);
    log << "=== rtctl launch, " << wallClockText(std::chrono::system_clock::now()) << ": "
        << commandText(argv) << " (in " << workingFolder << ")\n";
    if (!log.flush()) throw Failure("cannot write " + logPath);
  }
  int logFd = open(logPath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (logFd < 0) throw Failure("cannot open " + logPath + ": " + std::strerror(errno));

  std::vector<std::string> words = argv;
  std::vector<char*> argvPointers = execPointers(words);
  std::vector<std::string> variables = changedEnvironment(environment);
  std::vector<char*> envPointers = execPointers(variables);

  int errorPipe[2];
  if (pipe2(errorPipe, O_CLOEXEC) != 0) {
    close(logFd);
    throw Failure(std::string("pipe2 failed: ") + std::strerror(errno));
  }
  pid_t parent = getpid();
  pid_t pid = fork();
  if (pid == 0) {
    close(errorPipe[0]);
    execChild(argvPointers.data(), envPointers.data(), workingFolder.c_str(), logFd, parent,
              errorPipe[1]);
  }
  int forkError = errno;
  close(errorPipe[1]);
  close(logFd);
  if (pid < 0) {
    close(errorPipe[0]);
    throw Failure("cannot start " + argv[0] + ": " + std::strerror(forkError));
  }
  if (int childErrno = awaitExec(errorPipe[0])) {
    waitpid(pid, nullptr, 0);
    throw Failure("cannot start " + argv[0] + ": " + std::strerror(childErrno));
  }
  return pid;
}

std::vector<std::string> changedEnvironment(
    const std::vector<std::pair<std::string, std::string>>& changes) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry; ++entry) {
    std::string text(*entry);
    std::string name = text.substr(0, text.find('='));
    bool replaced = false;
    for (const auto& change : changes) replaced = replaced || change.first == name;
    if (!replaced) result.push_back(text);
  }
  for (const auto& [name, value] : changes) result.push_back(name + "=" + value);
  return result;
}

std::vector<char*> execPointers(std::vector<std::string>& words) {
  std::vector<char*> pointers;
  for (std::string& word : words) pointers.push_back(word.data());
  pointers.push_back(nullptr);
  return pointers;
}

[[noreturn]] void failForkedChild(int errorPipe) {
  int error = errno;
  (void)!write(errorPipe, &error, sizeof error);
  _exit(127);
}

int awaitExec(int errorPipe) {
  int childErrno = 0;
  ssize_t got;
  do {
    got = read(errorPipe, &childErrno, sizeof childErrno);
  } while (got < 0 && errno == EINTR);
  close(errorPipe);
  return got > 0 ? childErrno : 0;
}

bool signalChildGroup(pid_t pid, int signal) {
  // Before the child has made its own group, only the child itself can be reached.
  return kill(-pid, signal) == 0 || kill(pid, signal) == 0;
}

std::optional<int> reapChild(pid_t pid) {
  int status = 0;
  pid_t got;
  do {
    got = waitpid(pid, &status, WNOHANG);
  } while (got < 0 && errno == EINTR);
  if (got == pid) return status;
  return std::nullopt;
}

std::string exitText(int waitStatus) {
  if (WIFEXITED(waitStatus)) {
    int code = WEXITSTATUS(waitStatus);
    return code == 0 ? "exited normally" : "exit code " + std::to_string(code);
  }
  if (WIFSIGNALED(waitStatus)) {
    int signal = WTERMSIG(waitStatus);
    const char* name = sigabbrev_np(signal);
    return "killed by " + (name ? "SIG" + std::string(name) : "signal " + std::to_string(signal));
  }
  return "ended (status " + std::to_string(waitStatus) + ")";
}

}  // namespace rtctl
