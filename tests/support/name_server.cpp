#include "name_server.h"

#include <omniORB4/CORBA.h>
#include <tools/rtctl/name_server_address.h>
#include <tools/rtctl/naming_tree.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "free_port.h"
#include "wait_until.h"

namespace test_support {

namespace {

constexpr int kStartAttempts = 5;
constexpr auto kStartTimeout = std::chrono::seconds(10);
constexpr CORBA::ULong kCallTimeout_ms = 3000;
constexpr auto kPollInterval = std::chrono::milliseconds(50);
const char* const kReadyLine = "Root context is";

// One ORB for the helpers of the test process, made on first use.
CORBA::ORB_ptr helperOrb() {
  static CORBA::ORB_var orb = [] {
    int argc = 1;
    static char name[] = "test_support";
    char* argv[] = {name, nullptr};
    return CORBA::ORB_init(argc, argv);
  }();
  return orb.in();
}

bool matches(const std::string& path, const std::string& name) {
  if (path == name) return true;
  if (name.find('/') != std::string::npos) return false;
  return path.size() > name.size() &&
         path.compare(path.size() - name.size(), name.size(), name) == 0 &&
         path[path.size() - name.size() - 1] == '/';
}

}  // namespace

NameServer::NameServer() : dataDirectory_("mm-names-") {
  for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
    if (tryStart(findFreePort())) return;
  }
  throw std::runtime_error("omniNames did not start on a free port");
}

NameServer::NameServer(int port) : dataDirectory_("mm-names-") {
  if (!tryStart(port)) {
    throw std::runtime_error("omniNames did not start on port " + std::to_string(port));
  }
}

NameServer::~NameServer() { stop(); }

bool NameServer::tryStart(int port) {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(dataDirectory_.path(), ignored)) {
    std::filesystem::remove_all(entry.path(), ignored);
  }
  std::string portText = std::to_string(port);
  ChildOptions options;
  options.label = "omniNames:" + portText;
  options.workingDirectory = dataDirectory_.path();
  process_ = std::make_unique<ChildProcess>(
      "omniNames",
      std::vector<std::string>{"-start", portText, "-datadir", dataDirectory_.path(), "-always",
                               "-ORBendPoint", "giop:tcp:127.0.0.1:" + portText},
      options);
  port_ = port;
  if (process_->waitForOutput(kReadyLine, kStartTimeout) &&
      waitUntil([&] { return isPortListening(port) || !process_->isRunning(); }, kStartTimeout,
                kPollInterval) &&
      isPortListening(port)) {
    return true;
  }
  process_.reset();
  return false;
}

std::string NameServer::address() const { return "127.0.0.1:" + std::to_string(port_); }

std::string NameServer::corbaloc() const { return name_service::nameServiceLocation(address()); }

void NameServer::stop() {
  if (process_) process_->kill();
}

void NameServer::restart() {
  stop();
  // The old socket may linger for a moment after the kill.
  if (!waitUntil([this] { return tryStart(port_); }, kStartTimeout, kPollInterval))
    throw std::runtime_error("omniNames did not restart on port " + std::to_string(port_));
}

bool NameServer::isRunning() { return process_ && process_->isRunning(); }

bool NameServer::sendSignal(int signal) { return process_ && process_->sendSignal(signal); }

std::optional<ExitStatus> NameServer::waitForExit(Seconds timeout) {
  if (!process_) return std::nullopt;
  return process_->waitForExit(timeout);
}

std::optional<std::vector<std::string>> NameServer::tryListBindings() {
  try {
    CosNaming::NamingContextExt_var root =
        name_service::rootContext(helperOrb(), address(), kCallTimeout_ms);
    return name_service::listBindings(root, kCallTimeout_ms).paths;
  } catch (const CORBA::Exception&) {
    return std::nullopt;
  }
}

std::vector<std::string> NameServer::listBindings() {
  return tryListBindings().value_or(std::vector<std::string>{});
}

bool NameServer::isBound(const std::string& name) {
  for (const auto& path : listBindings()) {
    if (matches(path, name)) return true;
  }
  return false;
}

bool NameServer::waitForBinding(const std::string& name, Seconds timeout) {
  return waitUntil([&] { return isBound(name); }, timeout, kPollInterval);
}

bool NameServer::waitForUnbinding(const std::string& name, Seconds timeout) {
  // Only an answering server can show that the name is gone.
  return waitUntil(
      [&] {
        auto paths = tryListBindings();
        return paths && std::none_of(paths->begin(), paths->end(),
                                     [&](const std::string& path) { return matches(path, name); });
      },
      timeout, kPollInterval);
}

}  // namespace test_support
