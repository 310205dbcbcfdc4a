#include "sim_command_line.h"

#include <shell/time_scale.h>

namespace hirosim {

void addSimOptions(shell::ProgramCommandLine& line, SimOptions& options) {
  const CLI::Validator positiveScale(
      [](std::string& text) -> std::string {
        if (shell::parseTimeScale(text)) return {};
        return "needs a number above 0, not \"" + text + "\"";
      },
      "K>0");
  line.app()
      .add_option_function<double>(
          "--time-scale", [&options](const double& scale) { options.timeScale = scale; },
          std::string("simulated seconds per wall-clock second (K > 0); overrides ") +
              shell::kTimeScaleKey + ", which is 1 when rtc.conf does not set it")
      ->option_text("K")
      ->check(positiveScale);
  line.app()
      .add_option("--scene", options.scenePath,
                  "the scene file (default: " + options.scenePath + ")")
      ->option_text("FILE");
}

double cellTimeScale(const SimOptions& options, const coil::Properties& config) {
  return options.timeScale.value_or(shell::timeScaleOf(config));
}

}  // namespace hirosim
