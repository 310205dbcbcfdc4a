#include "system_apply.h"

#include <algorithm>

#include "component_control.h"
#include "live_system.h"
#include "system_check.h"

namespace rtctl {

namespace {

// Why the line cannot be carried out as the live system stands, or "".
std::string preflight(const Action& line, const LiveRead& live) {
  for (const std::string& name : line.componentNames()) {
    auto problem = live.problems.find(name);
    if (problem != live.problems.end()) return problem->second;
  }
  LineCheck check = checkLine(line, live.components);
  return check.unknown ? check.detail : "";
}

class Applier {
 public:
  Applier(Session& session, LiveRead& live) : session_(session), live_(live) {}

  // Carries out a line that does not hold yet; returns what was done.
  std::string carryOut(const Action& line) {
    switch (line.kind) {
      case ActionKind::Connect:
        return connect(line);
      case ActionKind::Disconnect:
        return disconnect(line);
      case ActionKind::Conf:
        setConfigurationValue(handle(line.component), line.key, line.value);
        refresh(line.component);
        return "set";
      case ActionKind::Activate:
        changeState(session_, handle(line.component), StateChange::Activate);
        refresh(line.component);
        return "activated";
      case ActionKind::Deactivate:
        changeState(session_, handle(line.component), StateChange::Deactivate);
        refresh(line.component);
        return "deactivated";
    }
    return "";
  }

 private:
  const Component& handle(const std::string& name) {
    return live_.handles[static_cast<size_t>(live_.indexOf(name))];
  }

  void refresh(const std::string& name) { live_.refresh(session_, live_.indexOf(name)); }

  FoundPort port(const Action& line, int endpoint) {
    const PortAddress& address = line.ports[static_cast<size_t>(endpoint)];
    FoundPort found;
    found.component = handle(address.component);
    found.port = session_.findPort(found.component, address.port);
    found.info = session_.describePort(found.port, label(address));
    return found;
  }

  void removeConnectors(const Action& line, const std::vector<ConnectorToRemove>& connectors) {
    for (const ConnectorToRemove& connector : connectors) {
      FoundPort found = port(line, connector.endpoint);
      disconnectConnector(found.port, connector.id, "remove connection " + connector.id);
    }
  }

  std::string connect(const Action& line) {
    ConnectionState state = connectionState(line, live_.components);
    std::vector<ConnectorToRemove> removed = state.stale;
    for (const std::string& id : state.differing) removed.push_back({0, id});
    removeConnectors(line, removed);
    connectPorts(port(line, 0), port(line, 1), line.properties, "connect");
    refresh(line.ports[0].component);
    refresh(line.ports[1].component);
    if (!state.differing.empty()) return "connected again (the connection had other properties)";
    if (!state.stale.empty())
      return "connected again (the old connection led to a process that is gone)";
    return "connected";
  }

  std::string disconnect(const Action& line) {
    ConnectionState state = connectionState(line, live_.components);
    std::vector<ConnectorToRemove> removed;
    for (const std::string& id : state.differing) removed.push_back({0, id});
    removeConnectors(line, removed);
    refresh(line.ports[0].component);
    refresh(line.ports[1].component);
    return "disconnected";
  }

  Session& session_;
  LiveRead& live_;
};

std::string heldText(const Action& line, const LineCheck& check) {
  switch (line.kind) {
    case ActionKind::Connect:
      return "already connected";
    case ActionKind::Disconnect:
      return "not connected";
    case ActionKind::Conf:
      return "already " + check.detail;
    case ActionKind::Activate:
      return "already active";
    case ActionKind::Deactivate:
      return "already inactive";
  }
  return "";
}

}  // namespace

ApplyOutcome applyLines(Session& session, const std::vector<Action>& lines,
                        const ApplyReport& report) {
  ApplyOutcome outcome;
  std::vector<std::string> names;
  for (const Action& line : lines) {
    for (const std::string& name : line.componentNames()) {
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
  }
  LiveRead live = readLiveSystem(session, names);
  for (const Action& line : lines) {
    std::string problem = preflight(line, live);
    if (!problem.empty()) {
      outcome.failure =
          line.place.text() + ": " + line.text() + ": " + problem + " (nothing was changed)";
      return outcome;
    }
  }
  Applier applier(session, live);
  for (const Action& line : lines) {
    std::string done;
    LineCheck check = checkLine(line, live.components);
    if (check.holds) {
      done = heldText(line, check);
      ++outcome.held;
    } else {
      try {
        done = applier.carryOut(line);
        ++outcome.changed;
      } catch (const Failure& failure) {
        outcome.failure = line.place.text() + ": " + line.text() + ": " + failure.what() +
                          " (the lines after it were not applied)";
        return outcome;
      }
    }
    report(line.place.text() + ": " + line.text() + ": " + done);
  }
  return outcome;
}

}  // namespace rtctl
