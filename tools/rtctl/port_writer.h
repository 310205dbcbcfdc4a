#pragma once
// An out-port of rtctl's own connected to a component's in-port: inject, replay and wait
// --send write through it. A full in-port that makes its writer wait (BUFFER_FULL,
// BUFFER_TIMEOUT) is given the sample again until it takes it, so that a flood arrives whole
// and in order.
#include <cstdint>
#include <string>

#include "peer_port.h"
#include "port_connection.h"
#include "tools/port_data/sample_value.h"

namespace rtctl {

// How long a writer keeps offering one sample to an in-port that stays full.
inline constexpr double kFullInPortPatience_s = 30.0;

class InPortWriter {
 public:
  // Connects "rtctl.<purpose>" to the in-port found at address, in the given byte order.
  // Throws Failure (not an in-port, the connection refused, no corba_cdr interface).
  InPortWriter(Session& session, FoundPort found, const PortAddress& address,
               const std::string& purpose, bool littleEndian = true);
  ~InPortWriter();
  InPortWriter(const InPortWriter&) = delete;
  InPortWriter& operator=(const InPortWriter&) = delete;

  const std::string& dataType() const { return dataType_; }
  bool littleEndian() const { return littleEndian_; }
  const std::string& label() const { return label_; }
  // Times a full in-port made the writer offer a sample again.
  std::uint64_t retries() const { return retries_; }

  // Writes one sample; throws Failure when the in-port refuses it (with its answer), stays
  // full for kFullInPortPatience_s, or does not answer. A stop request (Ctrl-C) ends the
  // waiting with false.
  bool write(const port_data::Bytes& octets);

 private:
  FoundPort found_;
  std::string label_;
  std::string purpose_;
  std::string dataType_;
  bool littleEndian_ = true;
  OpenRTM::InPortCdr_var inPort_;
  std::string connectorId_;
  std::uint64_t retries_ = 0;
};

}  // namespace rtctl
