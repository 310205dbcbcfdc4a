#include "live_system.h"

#include "component_names.h"

namespace rtctl {

int LiveRead::indexOf(const std::string& name) const {
  const ComponentInfo* found = findLiveComponent(components, name);
  return found ? static_cast<int>(found - components.data()) : -1;
}

void LiveRead::refresh(Session& session, int index) {
  components[static_cast<size_t>(index)] = session.describe(handles[static_cast<size_t>(index)]);
}

LiveRead readLiveSystem(Session& session, const std::vector<std::string>& names) {
  LiveRead read;
  std::vector<std::string> paths = session.componentPaths();
  const std::vector<std::string>& wanted = names.empty() ? paths : names;
  for (const std::string& name : wanted) {
    try {
      Component component = session.findComponentIn(paths, name);
      ComponentInfo info = session.describe(component);
      if (findLiveComponent(read.components, info.instanceName)) continue;
      read.components.push_back(info);
      read.handles.push_back(component);
    } catch (const Failure& failure) {
      read.problems[name] = failure.what();
      if (matchComponentName(paths, name).empty()) read.absent.insert(name);
    }
  }
  return read;
}

}  // namespace rtctl
