// rtctl exit NAME...: asks the components to exit.
#include <iostream>

#include "component_control.h"
#include "verbs.h"

namespace rtctl {

int exitCommand(Session& session, const Invocation& invocation) {
  for (const auto& name : invocation.components) {
    Component component = session.findComponent(name);
    try {
      checkReturn("exit " + component.instanceName, component.object->exit());
    } catch (const CORBA::COMM_FAILURE&) {
      // The process ended before its answer reached us: that is what was asked for.
    } catch (const CORBA::Exception& error) {
      throw Failure(Session::explain("exit " + component.instanceName, error));
    }
    std::cout << component.instanceName << ": exit requested\n";
  }
  return 0;
}

}  // namespace rtctl
