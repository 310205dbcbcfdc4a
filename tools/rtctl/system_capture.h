#pragma once
// A running system written as a system file (rtctl capture): each component's active
// configuration, the connections among the components with the properties that were asked
// for, and their states, activations ordered so that a component comes after the ones whose
// services it uses. Plain work on copies of the profiles.
#include <string>

#include "system_check.h"

namespace rtctl {

// The system file's text; header is written first, each of its lines as a comment.
std::string captureSystemFile(const LiveSystem& live, const std::string& header);

}  // namespace rtctl
