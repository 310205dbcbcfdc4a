#include "rtctl_runner.h"

#include "name_server.h"
#include "paths.h"

namespace test_support {

RunResult runRtctl(const NameServer& names, const std::vector<std::string>& arguments,
                   Seconds timeout) {
  std::vector<std::string> all{"-n", names.address()};
  all.insert(all.end(), arguments.begin(), arguments.end());
  ChildOptions options;
  options.label = "rtctl";
  return runProgram(binPath("rtctl"), all, timeout, options);
}

}  // namespace test_support
