// demo_summary: the end of a demo run. Reads the steps scripts/demo recorded, asks the running
// simulators where the objects and the tray ended and how the base drove, compares the places
// with the slots and the put-down place computed from the coordinator's configuration, prints
// the summary and exits 0 only when all of it is as it should be.
//
//   demo_summary -n HOST:PORT --steps FILE [--coordinator NAME] [--base NAME] [--cell NAME]
#include <omniORB4/CORBA.h>
#include <project_version.h>

#include <tools/rtctl/name_server_address.h>
#include <CLI/CLI.hpp>

#include <SimBase.hh>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include "shell/cli_parse.h"

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

// The options, or the status to end with after the help, the version or a usage error.
std::optional<int> parseOptions(int argc, char** argv, Options& options) {
  CLI::App app(
      "The end of a demo run: compares where the objects, the tray and the base ended with "
      "where they belong, prints the summary and exits 0 only when all of it is right.",
      "demo_summary");
  app.set_version_flag("--version", std::string("demo_summary ") + kProjectVersion);
  app.add_option("-n", options.nameServer, "the name server")
      ->option_text("HOST:PORT")
      ->required()
      ->check(name_service::addressProblem);
  app.add_option("--steps", options.stepsFile, "the steps the demo recorded")
      ->option_text("FILE")
      ->required();
  app.add_option("--coordinator", options.coordinator, "the coordinator's instance name")
      ->option_text("NAME")
      ->capture_default_str();
  app.add_option("--base", options.base, "the simulated base's instance name")
      ->option_text("NAME")
      ->capture_default_str();
  app.add_option("--cell", options.cell, "the simulated cell's instance name")
      ->option_text("NAME")
      ->capture_default_str();
  if (auto status = shell::parseArguments(app, argc, argv)) return *status;
  return std::nullopt;
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
  if (const std::optional<int> status = parseOptions(argc, argv, options)) return *status;
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
