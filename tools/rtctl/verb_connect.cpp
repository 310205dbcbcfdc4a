// rtctl connect A:port B:port [key=value ...]: connects two ports that fit together.
#include <iostream>

#include "component_control.h"
#include "verbs.h"

namespace rtctl {

int connectCommand(Session& session, const Invocation& invocation) {
  FoundPort first = findPort(session, invocation.ports[0]);
  FoundPort second = findPort(session, invocation.ports[1]);
  std::string what = "connect " + label(invocation.ports[0]) + " " + label(invocation.ports[1]);
  std::string id = connectPorts(first, second, invocation.properties, what);
  std::cout << "connected " << first.info.name << " - " << second.info.name << " (id " << id
            << ")\n";
  return 0;
}

}  // namespace rtctl
