#pragma once
// Free TCP ports on the loopback interface, for name servers and endpoints of tests that run
// in parallel.

namespace test_support {

// A TCP port on 127.0.0.1 that was free a moment ago (the kernel chose it for a socket that is
// closed again before returning). Another process may take it meanwhile, so starters retry
// with a new port when the bind fails. Throws std::runtime_error when no socket can be made.
int findFreePort();

// True when something accepts TCP connections on 127.0.0.1:port.
bool isPortListening(int port);

}  // namespace test_support
