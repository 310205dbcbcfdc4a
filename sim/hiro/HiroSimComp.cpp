// HiroSimComp: the simulated HIRO work cell as one program. It hosts the robot controller,
// the HIROController, HiroNX and the object pose estimation as RT-components on one
// simulated cell, prints one line per grasp and release, and at exit where every object and
// the tray ended up. The cell's clock follows "clock.time_scale" of the configuration, or
// --time-scale.
//
// Usage: HiroSimComp [--time-scale K] [--scene FILE] [middleware options]; --help for all.

#include <shell/component_shell.h>

#include <iostream>
#include <memory>
#include <string>

#include "cell_components.h"
#include "cell_driver.h"
#include "hiro_arm_model_kinematics.h"
#include "place_report.h"
#include "process_cell.h"
#include "scene.h"
#include "sim_command_line.h"

namespace {

using namespace hirosim;

// What the module initialisation takes from main: the middleware calls it with the manager
// alone, once the configuration is read.
struct CellStart {
  SimOptions options;
  std::size_t objectCount = 0;
  // Runs the cell's clock from the module initialisation until main stops it.
  std::unique_ptr<CellDriver> driver;
};

CellStart& cellStart() {
  static CellStart start;
  return start;
}

// Starts the cell's clock at the configured time scale, then creates the components.
void startCell(RTC::Manager* manager) {
  CellStart& start = cellStart();
  const double timeScale = cellTimeScale(start.options, manager->getConfig());
  start.driver = std::make_unique<CellDriver>(processCell(), timeScale);
  std::cout << "HiroSimComp: scene " << start.options.scenePath << " with " << start.objectCount
            << " objects, time scale " << timeScale << std::endl;
  shell::createComponentOrFail(manager, RobotControllerInit, "RobotController");
  shell::createComponentOrFail(manager, HIROControllerInit, "HIROController");
  shell::createComponentOrFail(manager, HiroNXInit, "HiroNX");
  shell::createComponentOrFail(manager, LumerisInit, "Lumeris");
}

void printLine(std::ostream& out, const std::string& line) { out << line << std::endl; }

}  // namespace

int main(int argc, char** argv) {
  using namespace hirosim;
  shell::ProgramCommandLine line(
      "HiroSimComp",
      "The simulated HIRO work cell: robot controller, HIROController, HiroNX and object pose "
      "estimation on one cell. Its clock follows clock.time_scale in rtc.conf.");
  CellStart& start = cellStart();
  start.options.scenePath = HIRO_SIM_DEFAULT_SCENE;
  addSimOptions(line, start.options);
  if (std::optional<int> status = line.parse(argc, argv)) return *status;

  const SceneParseResult loaded = loadSceneFile(start.options.scenePath);
  if (!loaded.scene) {
    std::cerr << "HiroSimComp: " << loaded.error << std::endl;
    return 1;
  }
  start.objectCount = loaded.scene->objects.size();

  HiroCell cell(
      *loaded.scene, std::make_shared<HiroArmModelKinematics>(), JointVector{},
      [](const std::string& text) { printLine(std::cout, text); },
      [](const std::string& text) { printLine(std::cerr, text); });
  setProcessCell(&cell);
  const int status = shell::runComponentProcess(line, startCell);

  cell.shutdown();
  if (start.driver) start.driver->stop();
  setProcessCell(nullptr);
  std::cout << "final places:" << std::endl;
  for (const std::string& place : describePlaces(cell.objectPlaces(), cell.trayPlace())) {
    printLine(std::cout, "  " + place);
  }
  return status;
}
