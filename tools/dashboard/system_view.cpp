#include "system_view.h"

#include <set>

namespace dashboard {

namespace {

const PortView* findPort(const SystemView& system, const std::string& name) {
  for (const ComponentView& component : system.components) {
    for (const PortView& port : component.ports) {
      if (port.name == name) return &port;
    }
  }
  return nullptr;
}

}  // namespace

std::vector<ConnectionView> connectionsOf(const SystemView& system) {
  std::vector<ConnectionView> connections;
  std::set<std::string> seen;
  for (const ComponentView& component : system.components) {
    for (const PortView& port : component.ports) {
      for (const PortView::Connector& connector : port.connectors) {
        if (connector.ports.size() < 2 || !seen.insert(connector.id).second) continue;
        ConnectionView connection{connector.id, connector.ports[0], connector.ports[1]};
        const PortView* first = findPort(system, connection.from);
        if (first && first->kind == "in") std::swap(connection.from, connection.to);
        connections.push_back(connection);
      }
    }
  }
  return connections;
}

}  // namespace dashboard
