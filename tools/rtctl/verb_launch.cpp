// rtctl launch FILE [--respawn] [--exit-on-failure]: brings a system file's programs up and
// watches over them (launch_supervisor.h).
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "launch_supervisor.h"
#include "verbs.h"

namespace rtctl {

int launchCommand(const Invocation& invocation, const SystemFile& file,
                  const std::string& nameServer) {
  // Blocked before the ORB starts its threads, so that every such signal reaches the
  // supervisor's descriptor and none ends the process in the middle of a stop.
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGCHLD}) sigaddset(&signals, signal);
  if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0) {
    throw Failure("cannot take over the stop signals");
  }
  int signalFd = signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
  if (signalFd < 0) throw Failure(std::string("signalfd failed: ") + std::strerror(errno));
  int status = 1;
  {
    Session session(nameServer);
    Supervisor supervisor(session, invocation, file, signalFd);
    status = supervisor.run();
  }
  close(signalFd);
  return status;
}

}  // namespace rtctl
