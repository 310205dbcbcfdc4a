// HiroSimComp: the simulated HIRO work cell as one program. It hosts the robot controller,
// the HIROController, HiroNX and the object pose estimation as RT-components on one
// simulated cell, prints one line per grasp and release, and at exit where every object and
// the tray ended up.
//
// Usage: HiroSimComp [--time-scale K] [--scene FILE] [middleware options]

#include <shell/component_shell.h>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cell_components.h"
#include "cell_driver.h"
#include "hiro_arm_model_kinematics.h"
#include "place_report.h"
#include "process_cell.h"
#include "scene.h"
#include "sim_options.h"

namespace {

constexpr const char* kUsage =
    "usage: HiroSimComp [--time-scale K] [--scene FILE] [middleware options]";

void createComponents(RTC::Manager* manager) {
  shell::createComponentOrFail(manager, RobotControllerInit, "RobotController");
  shell::createComponentOrFail(manager, HIROControllerInit, "HIROController");
  shell::createComponentOrFail(manager, HiroNXInit, "HiroNX");
  shell::createComponentOrFail(manager, LumerisInit, "Lumeris");
}

void printLine(std::ostream& out, const std::string& line) { out << line << std::endl; }

}  // namespace

int main(int argc, char** argv) {
  using namespace hirosim;
  const SimOptionsResult parsed = parseSimOptions(std::vector<std::string>(argv, argv + argc));
  if (!parsed.options) {
    std::cerr << "HiroSimComp: " << parsed.error << "\n" << kUsage << std::endl;
    return 2;
  }
  const std::string scenePath = parsed.options->scenePath.value_or(HIRO_SIM_DEFAULT_SCENE);
  const SceneParseResult loaded = loadSceneFile(scenePath);
  if (!loaded.scene) {
    std::cerr << "HiroSimComp: " << loaded.error << std::endl;
    return 1;
  }

  HiroCell cell(
      *loaded.scene, std::make_shared<HiroArmModelKinematics>(), JointVector{},
      [](const std::string& line) { printLine(std::cout, line); },
      [](const std::string& line) { printLine(std::cerr, line); });
  setProcessCell(&cell);
  CellDriver driver(cell, parsed.options->timeScale);
  std::cout << "HiroSimComp: scene " << scenePath << " with " << loaded.scene->objects.size()
            << " objects, time scale " << parsed.options->timeScale << std::endl;

  std::vector<std::string> middlewareArgs = parsed.middlewareArgs;
  std::vector<char*> middlewareArgv;
  for (std::string& arg : middlewareArgs) middlewareArgv.push_back(arg.data());
  middlewareArgv.push_back(nullptr);
  const int status = shell::runComponentProcess(static_cast<int>(middlewareArgs.size()),
                                                middlewareArgv.data(), createComponents);

  cell.shutdown();
  driver.stop();
  setProcessCell(nullptr);
  std::cout << "final places:" << std::endl;
  for (const std::string& line : describePlaces(cell.objectPlaces(), cell.trayPlace())) {
    printLine(std::cout, "  " + line);
  }
  return status;
}
