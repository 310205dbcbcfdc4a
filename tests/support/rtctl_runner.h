#pragma once
// Runs the operator tool build/bin/rtctl against a test's name server.
#include <string>
#include <vector>

#include "child_process.h"

namespace test_support {

class NameServer;

// "rtctl -n <names.address()> <arguments...>", run to its end (killed after timeout).
RunResult runRtctl(const NameServer& names, const std::vector<std::string>& arguments,
                   Seconds timeout = Seconds(30));

}  // namespace test_support
