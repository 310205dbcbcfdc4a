#pragma once
// The four hosts of scripts/system/hosts.system as network namespaces of this machine, made by
// scripts/host-network with names of this test run's own and removed again when the object goes
// away, also when the test fails.
#include <memory>
#include <string>
#include <vector>

namespace hosts_test {

class HostNetwork {
 public:
  // The hosts, or nothing with the reason in whyNot (not root, no "ip netns").
  static std::unique_ptr<HostNetwork> make(std::string& whyNot);
  ~HostNetwork();
  HostNetwork(const HostNetwork&) = delete;
  HostNetwork& operator=(const HostNetwork&) = delete;

  // What hosts.system's NETNS variable is set to.
  const std::string& prefix() const { return prefix_; }
  // The command line that runs the program on the host.
  std::vector<std::string> on(const std::string& host,
                              const std::vector<std::string>& command) const;
  // Pulls the host's link out of the bridge, or plugs it in again; false when ip fails.
  bool setLink(const std::string& host, bool up) const;

 private:
  explicit HostNetwork(std::string prefix) : prefix_(std::move(prefix)) {}
  std::string prefix_;
};

// The address of the host that runs the name server, and the name server's.
inline constexpr const char* kNamesAddress = "198.18.0.1";
inline constexpr const char* kNameServer = "198.18.0.1:2809";

// scripts/host-network in the source tree.
std::string hostNetworkScript();

}  // namespace hosts_test
