#pragma once
// HiroSimComp's own command-line options; everything else goes to the middleware.
//   --time-scale K   simulated seconds per wall-clock second (K > 0, default 1)
//   --scene FILE     the scene file (default: the shipped default scene)

#include <optional>
#include <string>
#include <vector>

namespace hirosim {

struct SimOptions {
  double timeScale = 1.0;
  std::optional<std::string> scenePath;
};

struct SimOptionsResult {
  std::optional<SimOptions> options;
  std::vector<std::string> middlewareArgs;  // argv[0] and every argument not ours, in order
  std::string error;                        // set when options is empty
};

SimOptionsResult parseSimOptions(const std::vector<std::string>& args);

}  // namespace hirosim
