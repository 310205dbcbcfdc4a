#pragma once
// The tray task: grip the filled tray with both hands, lift it, turn the chest to the
// put-down place, set it down and let go.

#include <string>

#include "task_context.h"

namespace pickplace {

// The whole task; returns the result word.
std::string processTray(TaskContext& task);

// Grips, lifts, carries and puts down the tray, starting from where the last action ended.
Outcome manipulateTray(TaskContext& task);

// Appends the 9 picking nodes. Fails at the first IK check that fails.
Outcome planTrayPicking(TaskContext& task, double handOffset_m, OperationList& list);
// Appends the 7 placing nodes. Fails at the first IK check that fails.
Outcome planTrayPlacing(TaskContext& task, double handOffset_m, OperationList& list);

constexpr const char* kTrayFinished = "HIRO_TRAY_MANIP_FINISHED";
constexpr const char* kTrayError = "HIRO_TRAY_MANIP_ERROR";

}  // namespace pickplace
