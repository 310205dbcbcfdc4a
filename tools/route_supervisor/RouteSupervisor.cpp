#include "RouteSupervisor.h"

#include <chrono>
#include <cstdio>

#include <shell/component_shell.h>

#include "word_log.h"

namespace {

// clang-format off
const char* const route_supervisor_profile[] = {
    "implementation_id", "RouteSupervisor",
    "type_name",         "RouteSupervisor",
    "description",       "Starts the planner's route and sends it back after the station work",
    "version",           "1.0.0",
    "vendor",            "MobileManipulator",
    "category",          "Supervisor",
    "activity_type",     "PERIODIC",
    "kind",              "DataFlowComponent",
    "max_instance",      "1",
    "language",          "C++",
    "lang_type",         "compile",
    ""};
// clang-format on

constexpr int kRouteFinished = 0;
constexpr int kRouteNotFinished = 1;

routesupervisor::SupervisorSettings& launchSettings() {
  static routesupervisor::SupervisorSettings settings;
  return settings;
}

std::atomic<int>& routeExitStatus() {
  static std::atomic<int> status{kRouteNotFinished};
  return status;
}

void printLine(const std::string& what) {
  std::printf("%s\n", routesupervisor::wordLine(std::chrono::system_clock::now(), what).c_str());
  std::fflush(stdout);
}

}  // namespace

void RouteSupervisor::setSettings(const routesupervisor::SupervisorSettings& settings) {
  launchSettings() = settings;
}

int RouteSupervisor::exitStatus() { return routeExitStatus().load(); }

RouteSupervisor::RouteSupervisor(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager),
      commandOut_("route_command", command_),
      reportIn_("route_report", report_),
      baseStatusPort_("BaseStatusService"),
      route_(launchSettings().timeouts),
      watch_(launchSettings().watch),
      probe_(commandOut_, baseStatus_),
      sender_([this](const std::string& word) { writeWord(word); }) {}

RouteSupervisor::~RouteSupervisor() {
  sender_.stop();
  probe_.stop();
  if (stationWork_.joinable()) stationWork_.join();
}

double RouteSupervisor::now_s() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

RTC::ReturnCode_t RouteSupervisor::onInitialize() {
  addOutPort("route_command", commandOut_);
  addInPort("route_report", reportIn_);
  baseStatusPort_.registerConsumer("BaseStatusService", "SimBase::BaseStatusService", baseStatus_);
  addPort(baseStatusPort_);
  return RTC::RTC_OK;
}

// Each word sent begins a wait for the planner, watched afresh while the word is written.
void RouteSupervisor::send(const std::string& word) {
  sender_.send(word);
  watch_.restart(now_s());
}

void RouteSupervisor::writeWord(const std::string& word) {
  command_.data = word.c_str();
  const bool delivered = commandOut_.write();
  printLine("sent " + word + (delivered ? "" : " (not delivered to every connection)"));
}

RTC::ReturnCode_t RouteSupervisor::onActivated(RTC::UniqueId) {
  route_.awaitPorts(now_s());
  probe_.start();
  return RTC::RTC_OK;
}

RTC::ReturnCode_t RouteSupervisor::onDeactivated(RTC::UniqueId) {
  probe_.requestStop();
  return RTC::RTC_OK;
}

bool RouteSupervisor::portsConnected() const {
  return commandOut_.isConnected() && reportIn_.isConnected();
}

RTC::ReturnCode_t RouteSupervisor::onExecute(RTC::UniqueId) {
  if (ended_) return RTC::RTC_OK;
  if (route_.phase() == routesupervisor::RoutePhase::WaitingForPorts && portsConnected()) {
    send(route_.start(now_s()));
  }
  while (reportIn_.isNew()) {
    reportIn_.read();
    const std::string word = static_cast<const char*>(report_.data);
    const bool awaited = route_.received(word);
    printLine("received " + word + (awaited ? "" : " (not awaited now: ignored)"));
  }
  if (route_.phase() == routesupervisor::RoutePhase::AtStation) handleStation();
  if (route_.awaitingPlanner()) watchRoute();
  if (route_.checkTimeout(now_s())) {
    std::fprintf(stderr, "RouteSupervisor: %s\n", route_.failure().c_str());
  }
  if (route_.phase() == routesupervisor::RoutePhase::Finished ||
      route_.phase() == routesupervisor::RoutePhase::Failed) {
    end();
  }
  return RTC::RTC_OK;
}

void RouteSupervisor::handleStation() {
  const routesupervisor::SupervisorSettings& settings = launchSettings();
  if (settings.stationCommand.empty()) {
    send(route_.stationWorkDone(true, "", now_s()));
    return;
  }
  if (!stationStarted_) {
    stationStarted_ = true;
    printLine("station: " + settings.stationCommand);
    stationWork_ = std::thread([this, settings] {
      stationOutcome_ =
          routesupervisor::runStationCommand(settings.stationCommand, settings.stationTimeout_s);
      stationDone_.store(true);
    });
    return;
  }
  if (!stationDone_.load()) return;
  stationWork_.join();
  printLine("station command ended: " + stationOutcome_.description);
  const std::string goBack = route_.stationWorkDone(
      stationOutcome_.succeeded, "station command failed: " + stationOutcome_.description, now_s());
  if (!goBack.empty()) {
    send(goBack);
  } else {
    std::fprintf(stderr, "RouteSupervisor: %s; the base stays at the station\n",
                 route_.failure().c_str());
  }
}

void RouteSupervisor::watchRoute() {
  if (const std::optional<routesupervisor::ProbeRound> round = probe_.take()) {
    watch_.planner(round->planner, round->time_s);
    if (round->base) watch_.basePosition(round->base->x_m, round->base->y_m, round->time_s);
  }
  const std::string reason = watch_.giveUpReason(now_s());
  if (!reason.empty() && route_.giveUp(reason))
    std::fprintf(stderr, "RouteSupervisor: %s\n", reason.c_str());
}

void RouteSupervisor::end() {
  ended_ = true;
  probe_.requestStop();
  const bool finished = route_.phase() == routesupervisor::RoutePhase::Finished;
  routeExitStatus().store(finished ? kRouteFinished : kRouteNotFinished);
  printLine(finished ? "route finished" : "route failed: " + route_.failure());
  exit();
}

RTC::ReturnCode_t RouteSupervisor::onFinalize() {
  sender_.stop();
  probe_.stop();
  if (stationWork_.joinable()) stationWork_.join();
  return RTC::RTC_OK;
}

extern "C" void RouteSupervisorInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, route_supervisor_profile,
                                  shell::createComponent<RouteSupervisor>, shell::destroyComponent);
}
