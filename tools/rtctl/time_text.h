#pragma once
// The time stamp in front of the lines of rtctl watch and rtctl launch: local wall-clock time
// with milliseconds, "14:03:27.512".
#include <chrono>
#include <string>

namespace rtctl {

std::string wallClockText(std::chrono::system_clock::time_point when);

// A duration for people: "0.42 s", "12.5 s", "400 s".
std::string secondsText(double seconds);

}  // namespace rtctl
