#pragma once
// A name server's address as users write it ("host:port", or "host" for port 2809) and the
// corbaloc URL through which an ORB reaches its root context. Plain text work, shared by
// rtctl, demo_summary and the tests.
#include <string>

namespace name_service {

// The port of a name server whose address names none.
inline constexpr int kDefaultNameServicePort = 2809;

// "corbaloc::host:port/NameService" for "host:port" or "host" (the port then defaults to
// 2809 in the corbaloc rules). Empty when the address is malformed: empty, holding '/' or
// white space, an empty host, or a port that is not a number from 0 to 65535.
std::string nameServiceLocation(const std::string& nameServer);

// The host part: "127.0.0.1" of "127.0.0.1:2809".
std::string hostOf(const std::string& nameServer);
// The port: 2809 when the address names none.
int portOf(const std::string& nameServer);

// True when the host is this machine's loopback (127.x.x.x or localhost).
bool isLoopbackAddress(const std::string& nameServer);

}  // namespace name_service
