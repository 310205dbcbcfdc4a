#pragma once
// rtctl's own ports for string samples (RTC::TimedString, RTC::TimedStringSeq): a listener
// connected to a component's out-port for as long as it lives, and one sample written into a
// component's in-port. Failures are thrown as rtctl::Failure.
#include <optional>
#include <string>
#include <vector>

#include "component_control.h"
#include "peer_port.h"

namespace rtctl {

class StringListener {
 public:
  // Connects rtctl's own in-port to the out-port at address, for the command named verb
  // ("print", "wait"): its port is "rtctl.<verb>", its failures begin with "<verb> NAME:port".
  StringListener(Session& session, const PortAddress& address, const std::string& verb);
  // Disconnects (quietly: the component may be gone).
  ~StringListener();
  StringListener(const StringListener&) = delete;
  StringListener& operator=(const StringListener&) = delete;

  // The next sample's strings, waiting at most timeout_s; empty on time-out.
  std::optional<std::vector<std::string>> next(double timeout_s);
  const FoundPort& source() const { return source_; }

 private:
  FoundPort source_;
  StringSink* sink_ = nullptr;  // owned by the session's POA
  std::string connectorId_;
};

// A sample's strings as one line: TimedStringSeq elements separated by tabs.
std::string sampleText(const std::vector<std::string>& strings);

// Writes one sample holding text (a TimedStringSeq: one element) into the in-port at address:
// connects rtctl's own out-port, puts the sample, disconnects. A refusal by the in-port
// (BUFFER_FULL...) is a failure.
void writeString(Session& session, const PortAddress& address, const std::string& text);

}  // namespace rtctl
