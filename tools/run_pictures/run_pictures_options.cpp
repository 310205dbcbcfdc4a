#include "run_pictures_options.h"

#include <project_version.h>

#include <shell/cli_parse.h>
#include <tools/rtctl/name_server_address.h>

#include <CLI/CLI.hpp>

namespace run_pictures {
namespace {

constexpr int kMinSide_px = 160;
constexpr int kMaxSide_px = 4000;

}  // namespace

std::optional<int> parseOptions(int argc, const char* const* argv, Options& options) {
  CLI::App app(
      "Pictures of a run: writes cell-before.png (the arm cell from above) at once, then "
      "follows the simulated base's true pose until SIGINT or SIGTERM, and writes route.png "
      "(the building with the whole path driven) and cell-after.png.",
      "RunPictures");
  app.set_version_flag("--version", std::string("RunPictures ") + kProjectVersion);
  app.add_option("-n", options.nameServer, "the name server")
      ->option_text("HOST:PORT")
      ->required()
      ->check(name_service::addressProblem);
  app.add_option("--dir", options.dir, "the folder the pictures go to (it must exist)")
      ->option_text("DIR")
      ->required()
      ->check(CLI::ExistingDirectory);
  app.add_option("--base", options.base, "the simulated base's instance name")
      ->option_text("NAME")
      ->capture_default_str();
  app.add_option("--cell", options.cell, "the simulated cell's instance name")
      ->option_text("NAME")
      ->capture_default_str();
  app.add_option("--rate", options.sampleRate_hz, "how often the base's pose is asked")
      ->option_text("HZ")
      ->capture_default_str()
      ->check(CLI::Range(kMinSampleRate_hz, kMaxSampleRate_hz));
  app.add_option("--wait", options.startWait_s, "how long to wait for the simulators at the start")
      ->option_text("SECONDS")
      ->capture_default_str()
      ->check(CLI::Range(0.0, 3600.0));
  app.add_option("--width", options.width_px, "width of every picture")
      ->option_text("PIXELS")
      ->capture_default_str()
      ->check(CLI::Range(kMinSide_px, kMaxSide_px));
  app.add_option("--height", options.height_px, "height of every picture")
      ->option_text("PIXELS")
      ->capture_default_str()
      ->check(CLI::Range(kMinSide_px, kMaxSide_px));
  return shell::parseArguments(app, argc, argv);
}

}  // namespace run_pictures
