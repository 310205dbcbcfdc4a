// rtctl wait NAME:port PATTERN [--timeout S] [--send NAME:port TEXT]: listens on a string
// out-port and prints the first sample that matches PATTERN (a POSIX extended regular
// expression that must match the whole sample). With --send it writes TEXT once it is
// listening, so that the answer to a request cannot be missed. It fails on one line when the
// time is up, when the component or the name server goes away, or on Ctrl-C.
#include <chrono>
#include <iostream>
#include <regex>

#include "string_ports.h"
#include "time_text.h"
#include "verbs.h"

namespace rtctl {

namespace {

// How long one wait for a sample lasts before the flags and deadlines are looked at.
constexpr double kSamplePoll_s = 0.1;
// How often the component and the name server are asked whether they are still there.
constexpr auto kPresenceCheck = std::chrono::milliseconds(500);

// Why the source went away, or "".
std::string absence(Session& session, const FoundPort& source) {
  try {
    if (source.component.object->_non_existent()) return source.component.instanceName + " is gone";
  } catch (const CORBA::Exception& error) {
    return Session::explain(source.component.instanceName, error);
  }
  try {
    session.componentPaths();
  } catch (const Failure& failure) {
    return failure.what();
  }
  return "";
}

}  // namespace

int waitCommand(Session& session, const Invocation& invocation) {
  const std::regex pattern(invocation.pattern, std::regex::extended);
  const std::string what = "wait " + label(invocation.ports[0]);
  StringListener listener(session, invocation.ports[0], "wait");
  if (invocation.send) writeString(session, invocation.send->first, invocation.send->second);
  auto start = std::chrono::steady_clock::now();
  auto lastCheck = start;
  int seen = 0;
  while (!stopRequested) {
    auto now = std::chrono::steady_clock::now();
    if (invocation.timeout_s &&
        std::chrono::duration<double>(now - start).count() >= *invocation.timeout_s) {
      throw Failure(what + ": no sample matched \"" + invocation.pattern + "\" within " +
                    secondsText(*invocation.timeout_s) + " (" + std::to_string(seen) +
                    " other samples)");
    }
    if (now - lastCheck >= kPresenceCheck) {
      lastCheck = now;
      std::string gone = absence(session, listener.source());
      if (!gone.empty()) throw Failure(what + ": " + gone);
    }
    auto sample = listener.next(kSamplePoll_s);
    if (!sample) continue;
    std::string text = sampleText(*sample);
    if (std::regex_match(text, pattern)) {
      std::cout << text << std::endl;
      return 0;
    }
    ++seen;
  }
  throw Failure(what + ": interrupted before a sample matched");
}

}  // namespace rtctl
