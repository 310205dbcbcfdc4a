// rtctl inject and rtctl print: string samples into an in-port and out of an out-port.
#include <chrono>
#include <iostream>

#include "string_ports.h"
#include "verbs.h"

namespace rtctl {

namespace {

// How often print looks at the stop flag while no sample arrives.
constexpr double kStopPoll_s = 0.1;

}  // namespace

int injectCommand(Session& session, const Invocation& invocation) {
  writeString(session, invocation.ports[0], invocation.text);
  return 0;
}

int printCommand(Session& session, const Invocation& invocation) {
  const PortAddress& address = invocation.ports[0];
  StringListener listener(session, address, "print");
  int printed = 0;
  auto deadline = std::chrono::steady_clock::now() +
                  std::chrono::duration<double>(invocation.timeout_s.value_or(0));
  while (!stopRequested && (!invocation.count || printed < *invocation.count)) {
    double wait_s = kStopPoll_s;
    if (invocation.timeout_s) {
      double left_s =
          std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
      if (left_s <= 0) break;
      wait_s = std::min(wait_s, left_s);
    }
    auto sample = listener.next(wait_s);
    if (!sample) continue;
    std::cout << sampleText(*sample) << std::endl;
    ++printed;
  }
  if (invocation.count && printed < *invocation.count && !stopRequested) {
    throw Failure("print " + label(address) + ": " + std::to_string(printed) + " of " +
                  std::to_string(*invocation.count) + " samples arrived within " +
                  std::to_string(*invocation.timeout_s) + " s");
  }
  return 0;
}

}  // namespace rtctl
