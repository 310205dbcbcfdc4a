#pragma once
// A name server's address as users write it ("host:port", "host" for port 2809, or the absolute
// path of the Unix socket of a name server private to its owner) and the corbaloc URL through
// which an ORB reaches its root context. Plain text work, shared by rtctl, demo_summary and the
// tests.
#include <string>

namespace name_service {

// The port of a name server whose address names none.
inline constexpr int kDefaultNameServicePort = 2809;

// "corbaloc::host:port/NameService" for "host:port" or "host" (the port then defaults to
// 2809 in the corbaloc rules); "corbaloc:omniunix:/path:/NameService" for a socket path. Empty
// when the address is malformed: empty, holding white space, '/' in a host, an empty host, or a
// port that is not a number from 0 to 65535; a socket path holding ':' or ending in '/'.
std::string nameServiceLocation(const std::string& nameServer);

// "" for a usable address, else one line saying what a name server address must be: the check
// of every program's -n option.
std::string addressProblem(const std::string& nameServer);

// True when the address is the path of a Unix socket ("/run/user/1000/robot/names.sock").
bool isUnixSocketAddress(const std::string& nameServer);
// The folder that holds the socket: "/run/user/1000/robot" of the path above.
std::string socketFolderOf(const std::string& nameServer);

// The host part: "127.0.0.1" of "127.0.0.1:2809" (of a TCP address).
std::string hostOf(const std::string& nameServer);
// The port: 2809 when the address names none (of a TCP address).
int portOf(const std::string& nameServer);

// True when the host is this machine's loopback (127.x.x.x or localhost); false for a socket.
bool isLoopbackAddress(const std::string& nameServer);

}  // namespace name_service
