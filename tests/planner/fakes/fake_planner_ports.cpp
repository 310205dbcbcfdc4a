#include "fake_planner_ports.h"

namespace planner::fakes {

bool FakePlannerPorts::takeMessage(std::string& text) {
  if (inbox.empty()) return false;
  text = inbox.front();
  inbox.pop_front();
  return true;
}

MapFetch FakePlannerPorts::fetchMap() {
  return MapFetch{MapReplyView{mapWidth, mapHeight, cells.data(), cells.size()}, callFailure};
}

}  // namespace planner::fakes
