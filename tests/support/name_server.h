#pragma once
// A private omniNames for one test: on a free loopback port, its data in a temporary directory,
// killed when the object goes away.
//
//   test_support::NameServer names;                 // returns once it answers
//   auto conf = test_support::writeRtcConf(dir.path(), {names.address()});
//   ...
//   ASSERT_TRUE(names.waitForBinding("Talker0.rtc", std::chrono::seconds(10)));
//
// Name paths are in the stringified form of the naming service ("ctx.kind/id.kind"); the
// helpers below also accept a bare "id.kind" and then look for it in every context, so tests
// need not know the host context that naming.formats puts in front.
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "temp_dir.h"

namespace test_support {

class NameServer {
 public:
  // Starts on a free port (retrying with another one if the port was taken meanwhile).
  NameServer();
  // Starts on the given port; throws std::runtime_error when that fails.
  explicit NameServer(int port);
  ~NameServer();
  NameServer(const NameServer&) = delete;
  NameServer& operator=(const NameServer&) = delete;

  int port() const { return port_; }
  // "127.0.0.1:<port>", the form corba.nameservers, rtctl -n and RTCTL_NAMESERVER take.
  std::string address() const;
  // "corbaloc::127.0.0.1:<port>/NameService".
  std::string corbaloc() const;

  // Kills it (its bindings are gone with it).
  void stop();
  // Starts it again on the same port with an empty store; throws when that fails.
  void restart();
  bool isRunning();
  // Sends a signal to omniNames (a fault test ends it as a crash or an operator would); false
  // when it is not running.
  bool sendSignal(int signal);
  // Waits for omniNames to end after sendSignal; empty on time-out.
  std::optional<ExitStatus> waitForExit(Seconds timeout);

  // Every binding that is not a context, recursively, as "ctx.kind/id.kind" paths. Empty when
  // the server does not answer.
  std::vector<std::string> listBindings();
  // True once name (a full path, or a bare "id.kind" found in any context) is bound.
  bool waitForBinding(const std::string& name, Seconds timeout);
  // True once the server answers without name.
  bool waitForUnbinding(const std::string& name, Seconds timeout);
  bool isBound(const std::string& name);

 private:
  bool tryStart(int port);
  // Empty when the server does not answer.
  std::optional<std::vector<std::string>> tryListBindings();

  TempDir dataDirectory_;
  int port_ = 0;
  std::unique_ptr<ChildProcess> process_;
};

}  // namespace test_support
