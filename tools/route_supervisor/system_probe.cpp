#include "system_probe.h"

#include <chrono>
#include <vector>

namespace routesupervisor {
namespace {

// Far above a call's time on loopback or a local network, and short enough that stopping the
// probe never waits long for a peer that does not answer.
constexpr unsigned kCallTimeout_ms = 500;
constexpr auto kRoundInterval = std::chrono::seconds(1);
// The first round's calls each end within the call time-out; a few of them fit.
constexpr auto kFirstRoundWait = std::chrono::seconds(2);
constexpr const char* kMapServiceType = "Zemla::RelativeMapService";

// Every call of the probe gives up after the call time-out instead of waiting on a peer.
void limitCalls(CORBA::Object_ptr object) {
  if (!CORBA::is_nil(object)) omniORB::setClientCallTimeout(object, kCallTimeout_ms);
}

const char* stateName(RTC::LifeCycleState state) {
  switch (state) {
    case RTC::CREATED_STATE:
      return "CREATED";
    case RTC::INACTIVE_STATE:
      return "INACTIVE";
    case RTC::ACTIVE_STATE:
      return "ACTIVE";
    case RTC::ERROR_STATE:
      return "in ERROR";
  }
  return "in an unknown state";
}

bool requiresMapService(const RTC::PortProfile& profile) {
  for (CORBA::ULong i = 0; i < profile.interfaces.length(); ++i) {
    const RTC::PortInterfaceProfile& interface = profile.interfaces[i];
    if (interface.polarity == RTC::REQUIRED && std::string(interface.type_name) == kMapServiceType)
      return true;
  }
  return false;
}

double steadyNow_s() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

PlannerFinding PlannerLook::look(RTC::PortBase& commandPort) {
  RTC::PortService_var own = commandPort.getPortRef();
  RTC::ConnectorProfileList_var connectors = commandPort.get_connector_profiles();
  std::vector<RTC::PortService_var> peers;
  for (CORBA::ULong c = 0; c < connectors->length(); ++c) {
    const RTC::PortServiceList& ports = connectors[c].ports;
    for (CORBA::ULong p = 0; p < ports.length(); ++p)
      if (!ports[p]->_is_equivalent(own.in()))
        peers.push_back(RTC::PortService::_duplicate(ports[p]));
  }
  // A put that the planner does not answer makes the port drop its connection: the planner
  // the words went to is still the one to watch.
  if (peers.empty())
    peers = lastPeers_;
  else
    lastPeers_ = peers;
  // Any peer that runs will do; otherwise what the first one shows.
  PlannerFinding finding;
  for (const RTC::PortService_var& peer : peers) {
    const PlannerFinding seen = lookAtPlanner(peer.in());
    if (seen.condition == PlannerCondition::Running) return seen;
    if (finding.condition == PlannerCondition::Unknown) finding = seen;
  }
  return finding;
}

PlannerFinding PlannerLook::lookAtPlanner(RTC::PortService_ptr peer) {
  RTC::RTObject_var owner;
  try {
    limitCalls(peer);
    RTC::PortProfile_var profile = peer->get_port_profile();
    owner = RTC::RTObject::_duplicate(profile->owner);
    limitCalls(owner.in());
    RTC::ComponentProfile_var component = owner->get_component_profile();
    plannerName_ = component->instance_name.in();
  } catch (const CORBA::Exception&) {
    const std::string who = plannerName_.empty() ? "the planner" : plannerName_;
    return {PlannerCondition::Silent, who + " does not answer"};
  }
  try {
    RTC::ExecutionContextList_var contexts = owner->get_owned_contexts();
    if (contexts->length() > 0) {
      limitCalls(contexts[0]);
      const RTC::LifeCycleState state = contexts[0]->get_component_state(owner.in());
      if (state != RTC::ACTIVE_STATE)
        return {PlannerCondition::Silent, plannerName_ + " is " + stateName(state)};
    }
    RTC::PortServiceList_var ports = owner->get_ports();
    for (CORBA::ULong i = 0; i < ports->length(); ++i) {
      limitCalls(ports[i]);
      RTC::PortProfile_var profile = ports[i]->get_port_profile();
      if (requiresMapService(profile.in()))
        return lookAtMapPort(ports[i], std::string(profile->name.in()));
    }
  } catch (const CORBA::Exception&) {
    return {PlannerCondition::Silent, plannerName_ + " does not answer"};
  }
  return {PlannerCondition::Running, ""};
}

PlannerFinding PlannerLook::lookAtMapPort(RTC::PortService_ptr mapPort,
                                          const std::string& mapPortName) {
  RTC::ConnectorProfileList_var connectors = mapPort->get_connector_profiles();
  if (connectors->length() == 0)
    return {PlannerCondition::MapMissing, mapPortName + " is not connected"};
  std::string missing;
  for (CORBA::ULong c = 0; c < connectors->length(); ++c) {
    const std::string id = connectors[c].connector_id.in();
    const RTC::PortServiceList& ports = connectors[c].ports;
    for (CORBA::ULong p = 0; p < ports.length(); ++p) {
      if (ports[p]->_is_equivalent(mapPort)) continue;
      try {
        limitCalls(ports[p]);
        RTC::PortProfile_var provider = ports[p]->get_port_profile();
        providerNames_[id] = provider->name.in();
        return {PlannerCondition::Running, ""};
      } catch (const CORBA::Exception&) {
        const auto known = providerNames_.find(id);
        const std::string provider = known != providerNames_.end() ? known->second : "its provider";
        missing = provider + ", the provider of " + mapPortName + ", does not answer";
      }
    }
  }
  return {PlannerCondition::MapMissing, missing};
}

SystemProbe::SystemProbe(RTC::PortBase& commandPort,
                         RTC::CorbaConsumer<SimBase::BaseStatusService>& baseStatus)
    : commandPort_(commandPort), baseStatus_(baseStatus) {}

SystemProbe::~SystemProbe() { stop(); }

void SystemProbe::start() {
  stop();
  std::unique_lock<std::mutex> lock(mutex_);
  stopping_ = false;
  latest_.reset();
  rounds_ = 0;
  thread_ = std::thread([this] { run(); });
  wake_.wait_for(lock, kFirstRoundWait, [this] { return rounds_ > 0; });
}

void SystemProbe::requestStop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
}

void SystemProbe::stop() {
  requestStop();
  if (thread_.joinable()) thread_.join();
}

bool SystemProbe::stopping() {
  std::lock_guard<std::mutex> lock(mutex_);
  return stopping_;
}

std::optional<ProbeRound> SystemProbe::take() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::optional<ProbeRound> round;
  round.swap(latest_);
  return round;
}

std::optional<BasePosition> SystemProbe::basePosition() {
  SimBase::BaseStatusService_ptr status = baseStatus_._ptr();
  if (CORBA::is_nil(status)) return std::nullopt;
  try {
    limitCalls(status);
    const SimBase::BaseStatus reply = status->getStatus();
    return BasePosition{reply.x_m, reply.y_m};
  } catch (const CORBA::Exception&) {
    return std::nullopt;
  }
}

void SystemProbe::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    lock.unlock();
    ProbeRound round;
    round.planner = planner_.look(commandPort_);
    if (!stopping()) round.base = basePosition();
    round.time_s = steadyNow_s();
    lock.lock();
    latest_ = round;
    ++rounds_;
    wake_.notify_all();
    wake_.wait_for(lock, kRoundInterval, [this] { return stopping_; });
  }
}

}  // namespace routesupervisor
