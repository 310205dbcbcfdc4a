#pragma once
// RouteSupervisor's own command-line options, each with its range; the middleware's options
// and --help/--version come from shell::ProgramCommandLine.
//
//   RouteSupervisor [--connect-timeout S] [--arrival-timeout S] [--finish-timeout S]
//                   [--fault-timeout S] [--progress-timeout S]
//                   [--at-station COMMAND] [--station-timeout S] [-f rtc.conf] [-o key:value] ...

#include <CLI/CLI.hpp>

#include <string>

#include "route_protocol.h"
#include "route_watch.h"

namespace routesupervisor {

struct SupervisorSettings {
  RouteTimeouts timeouts;
  WatchTimeouts watch;
  std::string stationCommand;  // run with /bin/sh -c at the station; empty: none
  double stationTimeout_s = 600.0;
};

// Every time-out lies within these bounds.
constexpr double kShortestTimeout_s = 0.1;
constexpr double kLongestTimeout_s = 86400.0;

// Adds the options to `app`; parsing writes them into `settings`, which must outlive it.
void addSupervisorOptions(CLI::App& app, SupervisorSettings& settings);

}  // namespace routesupervisor
