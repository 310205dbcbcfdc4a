#pragma once
// The live system as copies of its components' profiles, with the handles to change them.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "session.h"
#include "system_check.h"

namespace rtctl {

struct LiveRead {
  LiveSystem components;
  std::vector<Component> handles;  // handles[i] is components[i]
  // Names (or, when every component was read, naming paths) that could not be read, with why.
  std::map<std::string, std::string> problems;
  // Those of them that are not in the name server at all (the others do not answer).
  std::set<std::string> absent;

  // The index of the component a name means, or -1.
  int indexOf(const std::string& name) const;
  // Reads component i again after a change.
  void refresh(Session& session, int index);
};

// Reads the named components; every component in the name server when names is empty. A
// name server that does not answer is a Failure; a component that does not, a problem.
LiveRead readLiveSystem(Session& session, const std::vector<std::string>& names);

}  // namespace rtctl
