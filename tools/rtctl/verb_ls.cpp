// rtctl ls: every component in the name server with its state.
#include <iostream>

#include "verbs.h"

namespace rtctl {

int listComponents(Session& session, const Invocation&) {
  std::vector<ListEntry> entries;
  for (const auto& path : session.componentPaths()) entries.push_back(session.listEntry(path));
  std::cout << formatListing(entries);
  return 0;
}

}  // namespace rtctl
