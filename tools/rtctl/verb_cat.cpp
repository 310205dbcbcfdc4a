// rtctl cat NAME: a component's profile, ports, connections and configuration.
#include <iostream>

#include "verbs.h"

namespace rtctl {

int showComponent(Session& session, const Invocation& invocation) {
  Component component = session.findComponent(invocation.components[0]);
  std::cout << formatComponent(session.describe(component));
  return 0;
}

}  // namespace rtctl
