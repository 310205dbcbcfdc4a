#pragma once
// The words the page's buttons send, and to whom. The page can send these and nothing else:
// a request naming another button is refused, so no free text reaches the robot.
#include <string>

namespace dashboard {

// Where a word goes: the coordinator's "input" or the planner's "in_message", through the
// dashboard's out-port connected to it.
enum class WordTarget { Coordinator, Planner };

struct CommandButton {
  const char* id;  // the page's button id and the request's "button"
  const char* label;
  WordTarget target;
  const char* word;
  // Words that can move the robot are confirmed by the user first; stop words go out at once.
  bool confirm;
};

inline constexpr CommandButton kCommandButtons[] = {
    {"object-start", "START object task", WordTarget::Coordinator, "HIRO_OBJ_MANIP_START", true},
    {"object-stop", "STOP object task", WordTarget::Coordinator, "HIRO_OBJ_MANIP_STOP", false},
    {"tray-start", "START tray task", WordTarget::Coordinator, "HIRO_TRAY_MANIP_START", true},
    {"tray-stop", "STOP tray task", WordTarget::Coordinator, "HIRO_TRAY_MANIP_STOP", false},
    {"finish", "FINISH (arms to initial pose)", WordTarget::Coordinator, "FINISH", true},
    {"route-start", "START route", WordTarget::Planner, "ROBOT_START", true},
    {"route-go-back", "GO_BACK", WordTarget::Planner, "ROBOT_GO_BACK", true},
};

// The button with that id, or null.
const CommandButton* findButton(const std::string& id);

// "coordinator" or "planner".
const char* targetName(WordTarget target);

}  // namespace dashboard
