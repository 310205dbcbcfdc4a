// rtctl capture [NAMES...] [-o FILE]: writes the running system as a system file that
// rtctl apply accepts.
#include <ctime>
#include <fstream>
#include <iostream>

#include "live_system.h"
#include "system_capture.h"
#include "verbs.h"

namespace rtctl {

int captureCommand(Session& session, const Invocation& invocation) {
  LiveRead live = readLiveSystem(session, invocation.components);
  if (!invocation.components.empty() && !live.problems.empty()) {
    throw Failure(live.problems.begin()->second);
  }
  for (const auto& [name, problem] : live.problems) {
    std::cerr << "rtctl: left out " << name << ": " << problem << std::endl;
  }
  std::time_t now = std::time(nullptr);
  char when[32];
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  std::string header = std::string("Captured by rtctl capture from the name server ") +
                       session.nameServer() + " on " + when + ".\n" + "Apply it with: rtctl -n " +
                       session.nameServer() + " apply FILE";
  std::string text = captureSystemFile(live.components, header);
  if (invocation.outputFile.empty()) {
    std::cout << text;
    return 0;
  }
  std::ofstream out(invocation.outputFile);
  out << text;
  if (!out.flush()) throw Failure(invocation.outputFile + ": cannot be written");
  return 0;
}

}  // namespace rtctl
