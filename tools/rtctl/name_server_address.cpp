#include "name_server_address.h"

namespace name_service {

namespace {

constexpr int kMaxPort = 65535;
constexpr size_t kMaxPortDigits = 5;

// Position of the ':' before the port, or npos.
size_t portColon(const std::string& nameServer) { return nameServer.rfind(':'); }

}  // namespace

bool isUnixSocketAddress(const std::string& nameServer) {
  return !nameServer.empty() && nameServer.front() == '/';
}

std::string socketFolderOf(const std::string& nameServer) {
  size_t slash = nameServer.rfind('/');
  return slash == 0 ? "/" : nameServer.substr(0, slash);
}

std::string nameServiceLocation(const std::string& nameServer) {
  if (isUnixSocketAddress(nameServer)) {
    // omniORB's corbaloc separates the path from the object key with ':'.
    if (nameServer.find_first_of(": \t") != std::string::npos || nameServer.back() == '/') {
      return "";
    }
    return "corbaloc:omniunix:" + nameServer + ":/NameService";
  }
  if (nameServer.empty() || nameServer.find_first_of("/ \t") != std::string::npos) return "";
  size_t colon = portColon(nameServer);
  if (colon != std::string::npos) {
    std::string port = nameServer.substr(colon + 1);
    if (colon == 0 || port.empty() || port.size() > kMaxPortDigits ||
        port.find_first_not_of("0123456789") != std::string::npos || std::stoi(port) > kMaxPort) {
      return "";
    }
  }
  return "corbaloc::" + nameServer + "/NameService";
}

std::string hostOf(const std::string& nameServer) {
  return nameServer.substr(0, portColon(nameServer));
}

int portOf(const std::string& nameServer) {
  size_t colon = portColon(nameServer);
  if (colon == std::string::npos || nameServiceLocation(nameServer).empty()) {
    return kDefaultNameServicePort;
  }
  return std::stoi(nameServer.substr(colon + 1));
}

bool isLoopbackAddress(const std::string& nameServer) {
  if (isUnixSocketAddress(nameServer)) return false;
  std::string host = hostOf(nameServer);
  return host == "localhost" || host.rfind("127.", 0) == 0;
}

std::string addressProblem(const std::string& nameServer) {
  return nameServiceLocation(nameServer).empty()
             ? "bad name server address \"" + nameServer +
                   "\" (expected host:port, or the absolute path of a Unix socket)"
             : "";
}

}  // namespace name_service
