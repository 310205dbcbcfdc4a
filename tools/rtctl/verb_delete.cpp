// rtctl delete NAME and rtctl clean: remove names whose objects no longer answer (a component
// whose process was killed leaves its name behind). A name whose object answers is left
// alone, and so is one whose object is there but hung: only a process that is gone loses its
// name, unless delete --force says otherwise.
#include <iostream>

#include "component_names.h"
#include "verbs.h"

namespace rtctl {

int deleteCommand(Session& session, const Invocation& invocation) {
  const std::string& name = invocation.components[0];
  std::string path = isNamingPath(name) ? (name[0] == '/' ? name.substr(1) : name) : "";
  if (path.empty()) {
    std::vector<std::string> matches = matchComponentName(session.componentPaths(), name);
    if (matches.empty()) {
      throw Failure("no component named \"" + name + "\" in the name server " +
                    session.nameServer());
    }
    if (matches.size() > 1) {
      std::string list;
      for (const auto& match : matches) list += (list.empty() ? "" : ", ") + match;
      throw Failure("\"" + name + "\" is ambiguous: " + list + " (give the naming path)");
    }
    path = matches[0];
  }
  if (!invocation.force) {
    Presence presence = session.presenceOf(path);
    if (presence == Presence::Answers) {
      throw Failure(path + " answers: its process runs (end it with rtctl exit " + name +
                    ", or give --force)");
    }
    if (presence == Presence::Hung) {
      throw Failure(path +
                    " does not answer in time but its process may still be there "
                    "(give --force to remove the name anyway)");
    }
  }
  session.unbind(path);
  std::cout << "deleted " << path << "\n";
  return 0;
}

int cleanCommand(Session& session, const Invocation&) {
  int removed = 0;
  for (const std::string& path : session.componentPaths()) {
    Presence presence = session.presenceOf(path);
    if (presence == Presence::Hung) {
      std::cout << "kept " << path << ": it does not answer in time, but may still be there\n";
    }
    if (presence != Presence::Gone) continue;
    session.unbind(path);
    std::cout << "deleted " << path << "\n";
    ++removed;
  }
  if (removed == 0) std::cout << "every name answers; nothing to clean\n";
  return 0;
}

}  // namespace rtctl
