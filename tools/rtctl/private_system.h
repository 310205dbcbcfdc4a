#pragma once
// A system only its owner can reach: the name server and every program listen on Unix sockets
// in one folder that only the owner can open, and on nothing else. Its name server address is
// the path of the name server's socket in that folder.
#include <string>
#include <vector>

namespace rtctl {

// The ORB options that put a process's endpoint in the folder, as a socket only its owner may
// use: for rtctl's own ORB and, joined, for the corba.args of each program's rtc.conf. The
// socket is given its path (the name server's), or the ORB names it.
std::vector<std::string> privateOrbArguments(const std::string& folder,
                                             const std::string& socket = "");

// Makes the folder (mode 0700) when it is missing. "" when it is ready; otherwise why it does
// not keep the system private (another owner, or a mode that lets others in) or cannot hold
// sockets (a path too long for them), in one line.
std::string preparePrivateFolder(const std::string& folder);

// The value of the last "KEY: VALUE" (or "KEY = VALUE") line of an rtc.conf text; "" without
// one.
std::string confValueOf(const std::string& confText, const std::string& key);

}  // namespace rtctl
