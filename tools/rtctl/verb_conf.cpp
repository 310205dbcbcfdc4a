// rtctl conf NAME [set KEY VALUE]: shows the active configuration set, or changes one value
// of it; a value the component refuses is a failure with the component's reason.
#include <iostream>

#include "component_control.h"
#include "verbs.h"

namespace rtctl {

int confCommand(Session& session, const Invocation& invocation) {
  Component component = session.findComponent(invocation.components[0]);
  if (invocation.confSet) {
    const auto& [key, value] = *invocation.confSet;
    std::string set = setConfigurationValue(component, key, value);
    std::cout << component.instanceName << " " << set << "." << key << " = " << value << "\n";
    return 0;
  }
  std::cout << formatConfigurationSet(component.instanceName, activeConfiguration(component));
  return 0;
}

}  // namespace rtctl
