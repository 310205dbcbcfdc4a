#pragma once
// Making the live system match lines of a system file, in file order (rtctl apply, and rtctl
// launch when it brings a system up or a program back). Every line is checked against the live
// system first, so a missing component or port, or ports that do not fit, change nothing.
// Then each line is carried out unless it already holds (an identical connection, an active
// component, an equal value), so applying twice changes nothing the second time. The first
// line that fails ends it; the lines after it are not applied.
#include <functional>
#include <string>
#include <vector>

#include "session.h"
#include "system_file.h"

namespace rtctl {

struct ApplyOutcome {
  // "FILE:LINE: the line: why it failed (...)"; empty when every line holds.
  std::string failure;
  int changed = 0;  // lines carried out
  int held = 0;     // lines that already held
};

// Tells what was done with each line, as it is done: "FILE:LINE: the line: what was done".
using ApplyReport = std::function<void(const std::string& line)>;

ApplyOutcome applyLines(Session& session, const std::vector<Action>& lines,
                        const ApplyReport& report);

}  // namespace rtctl
