#pragma once
// The clock of a simulated run. "clock.time_scale" in rtc.conf (or -o) gives simulated
// seconds per wall-clock second, so that a whole run on simulated hardware can go faster than
// real time: the planner's clock and both simulators follow it, and nothing else changes.
// Absent means 1, real time, which is what a real robot always runs at.
#include <coil/Properties.h>

#include <optional>
#include <string>

namespace shell {

inline constexpr const char* kTimeScaleKey = "clock.time_scale";

// The scale written in `text`: a positive finite number; nullopt otherwise.
std::optional<double> parseTimeScale(const std::string& text);

// The scale `config` sets, 1 when it sets none. The process entry refuses to start on a
// value that parseTimeScale refuses, so a running component always sees a usable one.
double timeScaleOf(const coil::Properties& config);

}  // namespace shell
