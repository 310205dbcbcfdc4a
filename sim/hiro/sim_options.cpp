#include "sim_options.h"

#include "step_pacer.h"

namespace hirosim {

SimOptionsResult parseSimOptions(const std::vector<std::string>& args) {
  SimOptionsResult result;
  SimOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (i > 0 && (arg == "--time-scale" || arg == "--scene")) {
      if (i + 1 >= args.size()) {
        result.error = arg + " needs a value";
        return result;
      }
      const std::string& value = args[++i];
      if (arg == "--scene") {
        options.scenePath = value;
        continue;
      }
      const std::optional<double> scale = parseTimeScale(value);
      if (!scale) {
        result.error = "--time-scale needs a number above 0, not \"" + value + "\"";
        return result;
      }
      options.timeScale = *scale;
      continue;
    }
    result.middlewareArgs.push_back(arg);
  }
  result.options = options;
  return result;
}

}  // namespace hirosim
