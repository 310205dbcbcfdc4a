// rtctl stop FILE: deactivates the components the file activates, in the reverse order of
// their activation. Unlike apply it goes on after a failure, so that as much as possible is
// stopped, and then fails.
#include <iostream>

#include "component_control.h"
#include "verbs.h"

namespace rtctl {

int stopCommand(Session& session, const Invocation&, const SystemFile& file) {
  int failed = 0;
  for (auto line = file.actions.rbegin(); line != file.actions.rend(); ++line) {
    if (line->kind != ActionKind::Activate) continue;
    std::string where = line->place.text() + ": deactivate " + line->component;
    try {
      Component component = session.findComponent(line->component);
      ComponentInfo info = session.describe(component);
      if (info.state != "Active") {
        std::cout << where << ": already " << (info.state.empty() ? "without context" : info.state)
                  << std::endl;
        continue;
      }
      changeState(session, component, StateChange::Deactivate);
      std::cout << where << ": deactivated" << std::endl;
    } catch (const Failure& failure) {
      std::cerr << "rtctl: " << where << ": " << failure.what() << std::endl;
      ++failed;
    }
  }
  if (failed > 0) {
    throw Failure(file.path + ": " + std::to_string(failed) + " component" +
                  (failed == 1 ? "" : "s") + " could not be deactivated");
  }
  return 0;
}

}  // namespace rtctl
