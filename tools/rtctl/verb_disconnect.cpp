// rtctl disconnect A:port B:port: removes every connection between two ports.
#include <iostream>

#include "component_control.h"
#include "verbs.h"

namespace rtctl {

int disconnectCommand(Session& session, const Invocation& invocation) {
  FoundPort first = findPort(session, invocation.ports[0]);
  FoundPort second = findPort(session, invocation.ports[1]);
  std::string what = "disconnect " + label(invocation.ports[0]) + " " + label(invocation.ports[1]);
  int removed = 0;
  try {
    RTC::ConnectorProfileList_var connectors = first.port->get_connector_profiles();
    for (CORBA::ULong i = 0; i < connectors->length(); ++i) {
      bool joinsSecond = false;
      for (CORBA::ULong p = 0; p < connectors[i].ports.length(); ++p) {
        joinsSecond = joinsSecond || connectors[i].ports[p]->_is_equivalent(second.port);
      }
      if (!joinsSecond) continue;
      disconnectConnector(first.port, connectors[i].connector_id.in(), what);
      ++removed;
    }
  } catch (const CORBA::Exception& error) {
    throw Failure(Session::explain(what, error));
  }
  if (removed == 0) throw Failure(what + ": they are not connected");
  std::cout << "disconnected " << first.info.name << " - " << second.info.name << "\n";
  return 0;
}

}  // namespace rtctl
