// rtctl activate|deactivate|reset NAME...: a state change in each component's first owned
// execution context, in the order given.
#include <iostream>

#include "component_control.h"
#include "verbs.h"

namespace rtctl {

int stateCommand(Session& session, const Invocation& invocation) {
  StateChange change = invocation.verb == Verb::Activate     ? StateChange::Activate
                       : invocation.verb == Verb::Deactivate ? StateChange::Deactivate
                                                             : StateChange::Reset;
  const char* verb = change == StateChange::Activate     ? "activate"
                     : change == StateChange::Deactivate ? "deactivate"
                                                         : "reset";
  for (const auto& name : invocation.components) {
    Component component = session.findComponent(name);
    changeState(session, component, change);
    std::cout << component.instanceName << ": " << verb << " done\n";
  }
  return 0;
}

}  // namespace rtctl
