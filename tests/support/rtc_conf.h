#pragma once
// rtc.conf files for components started by a test.
#include <string>
#include <utility>
#include <vector>

namespace test_support {

struct RtcConfOptions {
  // "host:port" of the name server (corba.nameservers); empty leaves the key out.
  std::string nameServer;
  // corba.endpoints: loopback, port chosen by the system.
  std::string endpoint = "127.0.0.1:";
  // exec_cxt.periodic.rate in Hz.
  double rate_hz = 100.0;
  // logger.log_level; the log goes to standard output so tests can wait for its lines.
  std::string logLevel = "INFO";
  // Further "key: value" lines, written after the ones above (a later key wins).
  std::vector<std::pair<std::string, std::string>> extra;
};

// The text of an rtc.conf with those options.
std::string rtcConfText(const RtcConfOptions& options);
// Writes rtcConfText(options) to directory + "/" + fileName and returns that path.
std::string writeRtcConf(const std::string& directory, const RtcConfOptions& options,
                         const std::string& fileName = "rtc.conf");

}  // namespace test_support
