#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <tools/rtctl/child_program.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace test_support {

namespace {

constexpr std::chrono::milliseconds kPollInterval_ms{20};

int countOccurrences(const std::string& haystack, const std::string& needle) {
  if (needle.empty()) return 0;
  int count = 0;
  for (size_t at = haystack.find(needle); at != std::string::npos;
       at = haystack.find(needle, at + needle.size())) {
    ++count;
  }
  return count;
}

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void execChild(const char* program, char* const argv[], char* const envp[],
                            const char* directory, const char* outPath, const char* errPath,
                            pid_t parent, int errorPipe) {
  setpgid(0, 0);
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT}) signal(sig, SIG_DFL);
  int in = open("/dev/null", O_RDONLY);
  int out = open(outPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int err = open(errPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || out < 0 || err < 0) rtctl::failForkedChild(errorPipe);
  if (dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) rtctl::failForkedChild(errorPipe);
  if (chdir(directory) != 0) rtctl::failForkedChild(errorPipe);
  if (std::strchr(program, '/')) {
    execve(program, argv, envp);
  } else {
    environ = const_cast<char**>(envp);
    execvp(program, argv);
  }
  rtctl::failForkedChild(errorPipe);
}

}  // namespace

std::string ExitStatus::describe() const {
  return exited ? "exit code " + std::to_string(code) : "signal " + std::to_string(signal);
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const ChildOptions& options) {
  label_ = options.label.empty() ? program.substr(program.rfind('/') + 1) : options.label;
  ownDirectory_ = std::make_unique<TempDir>("mm-child-");
  workingDirectory_ =
      options.workingDirectory.empty() ? ownDirectory_->path() : options.workingDirectory;
  stdoutPath_ = ownDirectory_->file("stdout");
  stderrPath_ = ownDirectory_->file("stderr");

  std::vector<std::string> argvStrings{program};
  argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
  std::vector<std::string> envStrings = rtctl::changedEnvironment(options.environment);
  std::vector<char*> argv = rtctl::execPointers(argvStrings);
  std::vector<char*> envp = rtctl::execPointers(envStrings);

  int errorPipe[2];
  if (pipe2(errorPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
  pid_t parent = getpid();
  pid_t pid = fork();
  if (pid < 0) {
    close(errorPipe[0]);
    close(errorPipe[1]);
    throw std::runtime_error("fork failed for " + program);
  }
  if (pid == 0) {
    close(errorPipe[0]);
    execChild(program.c_str(), argv.data(), envp.data(), workingDirectory_.c_str(),
              stdoutPath_.c_str(), stderrPath_.c_str(), parent, errorPipe[1]);
  }
  setpgid(pid, pid);  // also here, so a signal to the group cannot race the child's own call
  pid_ = pid;
  close(errorPipe[1]);
  if (int childErrno = rtctl::awaitExec(errorPipe[0])) {
    reap(true);
    throw std::runtime_error("cannot start " + program + ": " + std::strerror(childErrno));
  }
}

ChildProcess::~ChildProcess() {
  kill();
  if (::testing::Test::HasFailure()) {
    std::cerr << "---- " << label_ << " (pid " << pid_ << ", "
              << (status_ ? status_->describe() : std::string("killed")) << ") stdout:\n"
              << standardOutput() << "---- " << label_ << " stderr:\n"
              << standardError() << "---- end of " << label_ << "\n";
  }
}

std::string ChildProcess::standardOutput() const { return readFile(stdoutPath_); }
std::string ChildProcess::standardError() const { return readFile(stderrPath_); }
std::string ChildProcess::output() const { return standardOutput() + standardError(); }

int ChildProcess::countInOutput(const std::string& text) const {
  return countOccurrences(standardOutput(), text) + countOccurrences(standardError(), text);
}

bool ChildProcess::waitForOutput(const std::string& text, Seconds timeout, int count) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    bool ended = !isRunning();  // read after checking, so the last words are seen
    int seen =
        std::max(countOccurrences(standardOutput(), text), countOccurrences(standardError(), text));
    if (seen >= count) return true;
    if (ended || std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval_ms);
  }
}

bool ChildProcess::sendSignal(int signal) {
  if (status_ || pid_ <= 0) return false;
  return ::kill(pid_, signal) == 0;
}

bool ChildProcess::reap(bool block) {
  if (status_) return true;
  if (pid_ <= 0) return false;
  int raw = 0;
  pid_t got;
  do {
    got = waitpid(pid_, &raw, block ? 0 : WNOHANG);
  } while (got < 0 && errno == EINTR);
  if (got != pid_) return false;
  ExitStatus status;
  status.exited = WIFEXITED(raw);
  status.code = status.exited ? WEXITSTATUS(raw) : 0;
  status.signal = WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
  status_ = status;
  return true;
}

std::optional<ExitStatus> ChildProcess::waitForExit(Seconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!reap(false)) {
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(kPollInterval_ms);
  }
  return status_;
}

bool ChildProcess::isRunning() { return !reap(false) && pid_ > 0; }

void ChildProcess::kill() {
  if (pid_ <= 0 || groupKilled_) return;
  // The group may outlive its leader (grandchildren), so signal it even after the leader ended.
  ::kill(-pid_, SIGKILL);
  groupKilled_ = true;
  if (!status_) {
    ::kill(pid_, SIGKILL);
    reap(true);
  }
}

RunResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                     Seconds timeout, const ChildOptions& options) {
  ChildProcess child(program, arguments, options);
  RunResult result;
  auto status = child.waitForExit(timeout);
  if (!status) {
    result.timedOut = true;
    child.kill();
    status = child.waitForExit(Seconds(5));
  }
  if (status) result.status = *status;
  result.out = child.standardOutput();
  result.err = child.standardError();
  return result;
}

}  // namespace test_support
