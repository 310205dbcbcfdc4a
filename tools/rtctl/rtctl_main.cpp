// rtctl: lists, inspects, connects and drives RT-components through the name server.
#include <signal.h>

#include <cstdlib>
#include <iostream>

#include "commands.h"
#include "port_data_requests.h"
#include "session.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kCommandFailed = 1;

void requestStop(int) { rtctl::stopRequested = true; }

// Ctrl-C and SIGTERM end a verb that runs until stopped cleanly (its connections removed, its
// file complete). Without SA_RESTART, a read from standard input returns at once.
void stopOnSignals() {
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  rtctl::ParsedCommandLine parsed =
      rtctl::parseCommandLine(arguments, std::getenv(rtctl::kNameServerVariable));
  if (parsed.helpRequested) {
    std::cout << rtctl::usageText();
    return 0;
  }
  if (!parsed.verbHelp.empty()) {
    std::cout << parsed.verbHelp;
    return 0;
  }
  if (!parsed.invocation) {
    std::cerr << "rtctl: " << parsed.error << std::endl;
    return kUsageError;
  }
  if (rtctl::isPortDataVerb(parsed.invocation->verb)) stopOnSignals();
  try {
    return rtctl::runInvocation(*parsed.invocation);
  } catch (const rtctl::Failure& failure) {
    std::cerr << "rtctl: " << failure.what() << std::endl;
  } catch (const CORBA::Exception& error) {
    std::cerr << "rtctl: " << rtctl::Session::explain("unexpected failure", error) << std::endl;
  }
  return kCommandFailed;
}
