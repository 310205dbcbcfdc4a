#pragma once
// HiroSimComp's own options, beside the middleware's (shell::ProgramCommandLine):
//   --time-scale K   simulated seconds per wall-clock second (K > 0), overriding the
//                    configuration's "clock.time_scale"
//   --scene FILE     the scene file

#include <coil/Properties.h>
#include <shell/program_command_line.h>

#include <optional>
#include <string>

namespace hirosim {

struct SimOptions {
  std::optional<double> timeScale;  // given with --time-scale
  std::string scenePath;            // keeps its value when --scene is not given
};

// Adds the options to `line`; line.parse() writes them into `options`, which outlives it.
void addSimOptions(shell::ProgramCommandLine& line, SimOptions& options);

// The time scale the cell runs at: --time-scale when given, otherwise the configuration's
// "clock.time_scale" (1 when it has none), so that one setting in rtc.conf drives the whole
// simulated run.
double cellTimeScale(const SimOptions& options, const coil::Properties& config);

}  // namespace hirosim
