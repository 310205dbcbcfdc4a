#pragma once
// What passes between the watcher (its thread reads the system) and the HTTP handlers: the
// snapshot they serve and the button presses they pass on.
#include <map>
#include <string>

#include "page_state.h"

namespace dashboard {

// One published state of the page; never changed once published.
struct Snapshot {
  PageState state;
  std::string stateJson;                      // pageStateJson(state), serialised once
  std::map<std::string, std::string> images;  // "planning", "building"...: PNG bytes
};

struct ActionRequest {
  enum class Kind { Word, Activate, Deactivate };
  Kind kind = Kind::Word;
  std::string button;     // Word: a CommandButton id
  std::string component;  // Activate, Deactivate: an instance name
};

}  // namespace dashboard
