#pragma once
// RouteSupervisor's own command-line options; everything else goes to the middleware.
//
//   RouteSupervisor [--connect-timeout S] [--arrival-timeout S] [--finish-timeout S]
//                   [--at-station COMMAND] [--station-timeout S] [-f rtc.conf] [-o key:value] ...

#include <string>
#include <vector>

#include "route_protocol.h"

namespace routesupervisor {

struct SupervisorSettings {
  RouteTimeouts timeouts;
  std::string stationCommand;  // run with /bin/sh -c at the station; empty: none
  double stationTimeout_s = 600.0;
};

struct SupervisorCommandLine {
  SupervisorSettings settings;
  std::vector<std::string> middlewareArguments;  // program name first
  std::string error;                             // empty when the line was understood
};

SupervisorCommandLine parseSupervisorCommandLine(const std::vector<std::string>& arguments);

}  // namespace routesupervisor
