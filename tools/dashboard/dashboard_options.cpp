#include "dashboard_options.h"

#include <shell/program_command_line.h>

#include "watcher.h"

namespace dashboard {

void addDashboardOptions(CLI::App& app, DashboardOptions& options) {
  app.add_option("--port", options.httpPort,
                 "HTTP port of the page on 127.0.0.1 (0: any free port, printed)")
      ->check(CLI::Range(0, 65535))
      ->capture_default_str();
  app.add_option("--poll-rate", options.pollRate_hz,
                 "how often the system is read and the page's data renewed, in Hz")
      ->check(shell::finiteBetween(kMinPollRate_hz, kMaxPollRate_hz))
      ->capture_default_str();
  app.add_option("--steps", options.stepsFile,
                 "the demo's steps file (steps.tsv) to list the scenario's steps from; "
                 "without it the steps come from the words");
}

}  // namespace dashboard
