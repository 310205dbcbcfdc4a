// Writes a motion set file for the planner. With no primitives the file holds only the count 0,
// and the planner uses its 33 fixed primitives.
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "shell/cli_parse.h"

#include <project_version.h>

#include "motion_set.h"

namespace {

constexpr int kWriteError = 1;
const char* const kProgram = "make_motion_set";

}  // namespace

int main(int argc, char** argv) {
  CLI::App app(
      "Writes a motion set file for the planner (MotionSet.mtn, read from TorvaneComp's "
      "working folder at every activation). Each primitive is a turn radius in mm (0 straight, "
      "positive clockwise) and a speed in mm/s; with none, the planner uses only its 33 fixed "
      "primitives.",
      kProgram);
  app.set_version_flag("--version", std::string(kProgram) + " " + kProjectVersion);
  std::string fileName;
  std::vector<std::string> pairs;
  app.add_option("FILE", fileName, "the motion set file to write")->required();
  app.add_option("PRIMITIVE", pairs, "a primitive: RADIUS_MM:SPEED_MMPS, e.g. 3000:300 -1600:400")
      ->check([](const std::string& text) -> std::string {
        return planner::parseRadiusSpeed(text) ? "" : "not a RADIUS_MM:SPEED_MMPS pair: " + text;
      });
  if (auto status = shell::parseArguments(app, argc, argv)) return *status;
  std::vector<planner::RadiusSpeed> primitives;
  for (const std::string& pair : pairs) primitives.push_back(*planner::parseRadiusSpeed(pair));
  if (!planner::writeMotionFile(fileName, primitives)) {
    std::cerr << kProgram << ": cannot write " << fileName << std::endl;
    return kWriteError;
  }
  return 0;
}
