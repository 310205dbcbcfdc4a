// demo_summary: the end of a demo run. Reads the steps scripts/demo recorded, asks the running
// simulators where the objects and the tray ended and how the base drove, compares the places
// with the slots and the put-down place computed from the coordinator's configuration, prints
// the summary and exits 0 only when all of it is as it should be.
//
//   demo_summary -n HOST:PORT --steps FILE [--coordinator NAME] [--base NAME] [--cell NAME]
#include <omniORB4/CORBA.h>

#include <SimBase.hh>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cell_places.h"
#include "remote_component.h"
#include "summary_report.h"

namespace {

using namespace demo_summary;

constexpr int kExitUsage = 2;

struct Options {
  std::string nameServer;
  std::string stepsFile;
  std::string coordinator = "Palkett0";
  std::string base = "BaseSim0";
  std::string cell = kDefaultCellComponent;
};

bool parseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (option == "-n")
      options.nameServer = value;
    else if (option == "--steps")
      options.stepsFile = value;
    else if (option == "--coordinator")
      options.coordinator = value;
    else if (option == "--base")
      options.base = value;
    else if (option == "--cell")
      options.cell = value;
    else
      return false;
  }
  return !options.nameServer.empty() && !options.stepsFile.empty();
}

std::optional<pickplace::CellConfig> coordinatorConfig(CORBA::ORB_ptr orb, const Options& options,
                                                       std::string& error) {
  auto component = findComponent(orb, options.nameServer, options.coordinator);
  if (!component.error.empty()) {
    error = component.error;
    return std::nullopt;
  }
  auto values = activeConfiguration(component.value);
  if (!values.error.empty()) {
    error = options.coordinator + ": " + values.error;
    return std::nullopt;
  }
  CellConfigParse parse = cellConfigFrom(values.value);
  if (!parse.config) error = options.coordinator + ": " + parse.error;
  return parse.config;
}

std::optional<BaseRun> baseRun(CORBA::ORB_ptr orb, const Options& options, std::string& error) {
  auto component = findComponent(orb, options.nameServer, options.base);
  if (!component.error.empty()) {
    error = component.error;
    return std::nullopt;
  }
  auto service = providedService(orb, component.value, "BaseStatusService",
                                 "SimBase::BaseStatusService", "BaseStatusService");
  if (!service.error.empty()) {
    error = options.base + ": " + service.error;
    return std::nullopt;
  }
  try {
    SimBase::BaseStatusService_var status = SimBase::BaseStatusService::_narrow(service.value);
    if (CORBA::is_nil(status)) {
      error = options.base + ": the status service has another type";
      return std::nullopt;
    }
    const SimBase::BaseStatus reply = status->getStatus();
    return BaseRun{reply.collisions, reply.travelled_m};
  } catch (const CORBA::Exception& failure) {
    error = options.base + ": getStatus: " + describe(failure);
    return std::nullopt;
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parseOptions(argc, argv, options)) {
    std::cerr << "usage: demo_summary -n HOST:PORT --steps FILE [--coordinator NAME]"
                 " [--base NAME] [--cell NAME]\n";
    return kExitUsage;
  }
  std::ifstream stepsStream(options.stepsFile);
  if (!stepsStream) {
    std::cerr << options.stepsFile << ": cannot be read\n";
    return kExitUsage;
  }
  std::ostringstream stepsText;
  stepsText << stepsStream.rdbuf();

  SummaryInput input;
  const StepParse steps = parseSteps(stepsText.str());
  input.steps = steps.steps;
  if (!steps.error.empty()) std::cerr << options.stepsFile << ": " << steps.error << "\n";

  int orbArgc = 0;
  CORBA::ORB_var orb = CORBA::ORB_init(orbArgc, nullptr);
  std::string configError;
  const auto cellConfig = coordinatorConfig(orb, options, configError);
  if (!cellConfig) {
    input.placementUnavailable = "the coordinator's configuration: " + configError;
  } else {
    const Remote<CellPlaces> places = askCellPlaces(orb, options.nameServer, options.cell);
    if (!places.error.empty()) {
      input.placementUnavailable = places.error;
    } else {
      input.placement = checkPlacement(*cellConfig, places.value.objects, places.value.tray);
    }
  }
  input.base = baseRun(orb, options, input.baseUnavailable);

  std::cout << formatSummary(input) << std::flush;
  orb->destroy();
  return summarySucceeded(input) && steps.error.empty() ? 0 : 1;
}
