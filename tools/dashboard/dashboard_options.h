#pragma once
// The Dashboard program's own options.
#include <CLI/CLI.hpp>

#include <string>

namespace dashboard {

inline constexpr int kDefaultHttpPort = 8080;
inline constexpr double kDefaultPollRate_hz = 1.0;

struct DashboardOptions {
  int httpPort = kDefaultHttpPort;  // 0: any free port (printed)
  double pollRate_hz = kDefaultPollRate_hz;
  std::string stepsFile;  // scripts/demo's steps.tsv; empty: steps from the words
};

void addDashboardOptions(CLI::App& app, DashboardOptions& options);

}  // namespace dashboard
