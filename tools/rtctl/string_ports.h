#pragma once
// rtctl's ports for the system's words (RTC::TimedString, RTC::TimedStringSeq), as wait uses
// them: a listener connected to a component's out-port for as long as it lives, and one word
// written into a component's in-port. Failures are thrown as rtctl::Failure.
#include <memory>
#include <optional>
#include <string>

#include "port_tap.h"
#include "sample_queue.h"
#include "tools/port_data/type_schema.h"

namespace rtctl {

class StringListener {
 public:
  // Connects rtctl's own in-port to the out-port at address; `purpose` names the connection
  // ("rtctl.wait").
  StringListener(Session& session, const PortAddress& address, const std::string& purpose);

  // The next sample's text (a TimedStringSeq's elements separated by tabs), waiting at most
  // timeout_s; empty on time-out.
  std::optional<std::string> next(double timeout_s);
  // Why no sample can come any more, or "" (see OutPortTap::lost).
  std::string lost() { return tap_->lost(); }

 private:
  std::shared_ptr<SampleQueue> queue_;
  const port_data::TypeDesc* type_ = nullptr;
  std::unique_ptr<OutPortTap> tap_;
};

// Writes one sample holding text (a TimedStringSeq: one element a tab-separated part) into the
// in-port at address, through a connection of its own that is removed again.
void writeString(Session& session, const PortAddress& address, const std::string& text,
                 const std::string& purpose);

}  // namespace rtctl
