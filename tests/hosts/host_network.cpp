#include "host_network.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <regex>
#include <sstream>

#include "tests/support/test_support.h"

namespace hosts_test {

std::string hostNetworkScript() {
  return std::string(HOSTS_PROJECT_ROOT) + "/scripts/host-network";
}

namespace {

const test_support::Seconds kIpTimeout{60};

test_support::RunResult hostNetwork(const std::vector<std::string>& arguments) {
  return test_support::runProgram(hostNetworkScript(), arguments, kIpTimeout);
}

// Removes the hosts of earlier runs whose process is gone without removing them (killed).
void removeLeftHosts() {
  test_support::RunResult listed = test_support::runProgram("ip", {"netns", "list"}, kIpTimeout);
  std::istringstream lines(listed.out);
  const std::regex ours(R"((mmh([0-9]+)-)net\b.*)");
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (!std::regex_match(line, match, ours)) continue;
    const pid_t pid = static_cast<pid_t>(std::stol(match[2].str()));
    if (kill(pid, 0) != 0 && errno == ESRCH) hostNetwork({"down", match[1].str()});
  }
}

}  // namespace

std::unique_ptr<HostNetwork> HostNetwork::make(std::string& whyNot) {
  if (geteuid() != 0) {
    whyNot = "needs root to make network namespaces (ip netns)";
    return nullptr;
  }
  removeLeftHosts();
  // Unique to this run, short enough for interface and namespace names.
  std::string prefix = "mmh" + std::to_string(getpid()) + "-";
  test_support::RunResult made = hostNetwork({"up", prefix});
  if (!made.status.exitedWith(0)) {
    whyNot = "cannot make network namespaces with ip netns: " + made.err;
    while (!whyNot.empty() && whyNot.back() == '\n') whyNot.pop_back();
    return nullptr;
  }
  return std::unique_ptr<HostNetwork>(new HostNetwork(prefix));
}

HostNetwork::~HostNetwork() { hostNetwork({"down", prefix_}); }

std::vector<std::string> HostNetwork::on(const std::string& host,
                                         const std::vector<std::string>& command) const {
  std::vector<std::string> argv{"ip", "netns", "exec", prefix_ + host};
  argv.insert(argv.end(), command.begin(), command.end());
  return argv;
}

bool HostNetwork::setLink(const std::string& host, bool up) const {
  return hostNetwork({"link", prefix_, host, up ? "up" : "down"}).status.exitedWith(0);
}

}  // namespace hosts_test
