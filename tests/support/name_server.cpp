#include "name_server.h"

#include <omniORB4/CORBA.h>
#include <omniORB4/Naming.hh>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "free_port.h"

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

CosNaming::NamingContextExt_ptr rootContext(const std::string& corbaloc) {
  CORBA::Object_var object = helperOrb()->string_to_object(corbaloc.c_str());
  omniORB::setClientCallTimeout(object, kCallTimeout_ms);
  return CosNaming::NamingContextExt::_narrow(object);
}

void collect(CosNaming::NamingContext_ptr context, const std::string& prefix,
             std::vector<std::string>& paths, int depth) {
  CosNaming::BindingList_var list;
  CosNaming::BindingIterator_var rest;
  context->list(1000, list.out(), rest.out());
  if (!CORBA::is_nil(rest)) rest->destroy();
  for (CORBA::ULong i = 0; i < list->length(); ++i) {
    const CosNaming::Binding& binding = list[i];
    const CosNaming::NameComponent& component =
        binding.binding_name[binding.binding_name.length() - 1];
    std::string part = std::string(component.id.in());
    if (*component.kind.in()) part += std::string(".") + component.kind.in();
    std::string path = prefix.empty() ? part : prefix + "/" + part;
    if (binding.binding_type == CosNaming::ncontext) {
      if (depth > 8) continue;
      CORBA::Object_var object = context->resolve(binding.binding_name);
      CosNaming::NamingContext_var child = CosNaming::NamingContext::_narrow(object);
      omniORB::setClientCallTimeout(child, kCallTimeout_ms);
      if (!CORBA::is_nil(child)) collect(child, path, paths, depth + 1);
    } else {
      paths.push_back(path);
    }
  }
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
  auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  if (process_->waitForOutput(kReadyLine, kStartTimeout)) {
    while (std::chrono::steady_clock::now() < deadline) {
      if (isPortListening(port)) return true;
      if (!process_->isRunning()) break;
      std::this_thread::sleep_for(kPollInterval);
    }
  }
  process_.reset();
  return false;
}

std::string NameServer::address() const { return "127.0.0.1:" + std::to_string(port_); }

std::string NameServer::corbaloc() const { return "corbaloc::" + address() + "/NameService"; }

void NameServer::stop() {
  if (process_) process_->kill();
}

void NameServer::restart() {
  stop();
  // The old socket may linger for a moment after the kill.
  auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (!tryStart(port_)) {
    if (std::chrono::steady_clock::now() >= deadline) {
      throw std::runtime_error("omniNames did not restart on port " + std::to_string(port_));
    }
    std::this_thread::sleep_for(kPollInterval);
  }
}

bool NameServer::isRunning() { return process_ && process_->isRunning(); }

std::optional<std::vector<std::string>> NameServer::tryListBindings() {
  std::vector<std::string> paths;
  try {
    CosNaming::NamingContextExt_var root = rootContext(corbaloc());
    if (CORBA::is_nil(root)) return std::nullopt;
    collect(root, "", paths, 0);
  } catch (const CORBA::Exception&) {
    return std::nullopt;
  }
  return paths;
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
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!isBound(name)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
  return true;
}

bool NameServer::waitForUnbinding(const std::string& name, Seconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    // Only an answering server can show that the name is gone.
    auto paths = tryListBindings();
    if (paths && std::none_of(paths->begin(), paths->end(),
                              [&](const std::string& path) { return matches(path, name); })) {
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
}

}  // namespace test_support
