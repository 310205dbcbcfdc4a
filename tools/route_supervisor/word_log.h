#pragma once
// The supervisor's console line for a route word: UTC time stamp with milliseconds, then what
// happened, e.g. "2026-12-08T03:50:12.345Z sent ROBOT_START".

#include <chrono>
#include <string>

namespace routesupervisor {

std::string wordLine(std::chrono::system_clock::time_point when, const std::string& what);

}  // namespace routesupervisor
