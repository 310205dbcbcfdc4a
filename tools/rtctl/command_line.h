#pragma once
// The command line of rtctl, parsed into one Invocation without touching the network.
//
//   rtctl [-n host:port] ls
//   rtctl [-n host:port] cat NAME
//   rtctl [-n host:port] connect A:port B:port [key=value ...]
//   rtctl [-n host:port] disconnect A:port B:port
//   rtctl [-n host:port] activate|deactivate|reset|exit NAME...
//   rtctl [-n host:port] conf NAME [set KEY VALUE]
//   rtctl [-n host:port] print|inject|hz|record|replay ...   (port_data_requests.h)
//
// The name server comes from -n, else from RTCTL_NAMESERVER, else localhost:2809.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rtctl {

inline constexpr const char* kDefaultNameServer = "localhost:2809";
inline constexpr const char* kNameServerVariable = "RTCTL_NAMESERVER";

// "NAME:port": NAME is an instance name or a naming path; the port name follows the last ':'.
struct PortAddress {
  std::string component;
  std::string port;
};

enum class Verb {
  Ls,
  Cat,
  Connect,
  Disconnect,
  Activate,
  Deactivate,
  Reset,
  Exit,
  Conf,
  Inject,
  Print,
  Hz,
  Record,
  Replay
};

struct Invocation {
  std::string nameServer;
  Verb verb = Verb::Ls;
  std::vector<std::string> components;  // cat, activate, deactivate, reset, exit, conf
  std::vector<PortAddress> ports;       // connect, disconnect
  std::vector<std::pair<std::string, std::string>> properties;  // connect, as given
  std::optional<std::pair<std::string, std::string>> confSet;   // conf NAME set KEY VALUE
  // The words after print, inject, hz, record and replay, parsed by parsePortDataRequest.
  std::vector<std::string> portDataArguments;
};

// Either an invocation or one line saying what is wrong with the command line.
struct ParsedCommandLine {
  std::optional<Invocation> invocation;
  std::string error;
  bool helpRequested = false;
  // A verb's own help, when it was asked for ("rtctl print --help").
  std::string verbHelp;
};

// arguments without the program name; nameServerVariable is the value of RTCTL_NAMESERVER
// (null when unset).
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments,
                                   const char* nameServerVariable);

// "NAME:port" split at the last ':'; empty when either side is empty.
std::optional<PortAddress> parsePortAddress(const std::string& text);

// "corbaloc::host:port/NameService" for "host:port" or "host" (the port then defaults to 2809
// in the corbaloc rules). Empty when the address is malformed.
std::string nameServiceLocation(const std::string& nameServer);

// True when the name server's host is this machine's loopback (127.x.x.x or localhost).
bool isLoopbackAddress(const std::string& nameServer);

std::string usageText();

}  // namespace rtctl
