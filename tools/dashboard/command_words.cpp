#include "command_words.h"

namespace dashboard {

const CommandButton* findButton(const std::string& id) {
  for (const CommandButton& button : kCommandButtons) {
    if (id == button.id) return &button;
  }
  return nullptr;
}

const char* targetName(WordTarget target) {
  return target == WordTarget::Coordinator ? "coordinator" : "planner";
}

}  // namespace dashboard
