#pragma once
// This process's client of a running BaseSimComp: its map and status services and its command
// port, found through the name server and reached by connecting each port on its own (as a
// planner's connection would). Used by the cross-process tests and the stop benchmark.
#include <DataPort.hh>
#include <SimBase.hh>
#include <Zemla.hh>

#include <string>

#include "tests/support/name_server.h"

namespace simbase_test {

class BaseSimClient {
 public:
  // The references stay nil when the component or a port cannot be reached; see ok().
  explicit BaseSimClient(test_support::NameServer& names, const std::string& instance = "BaseSim0");
  bool ok() const;

  Zemla::RelativeMapService_var map;
  SimBase::BaseStatusService_var status;
  OpenRTM::InPortCdr_var command;
};

// The octets of a velocity command as a planner's out-port sends them to `command`.
OpenRTM::CdrData encodeVelocityCommand(double vx_mps, double va_radps);

}  // namespace simbase_test
