#pragma once
// The object task: ask where the object is, take a free slot, plan a one-arm pick and place
// with IK checks, and execute it.

#include <array>
#include <string>

#include "task_context.h"

namespace pickplace {

// Object size as the estimation gateway gives it: unused, width, height (metres).
using ObjectSize = std::array<double, 3>;

// The whole task; returns the result word.
std::string processObj(TaskContext& task);

// Picks the object of class classId at `pose` (frame R) and places it in a free slot. A slot
// it takes stays taken whatever happens later.
Outcome manipulateSingleObject(TaskContext& task, long classId, const ObjectSize& size,
                               const HandPose& pose);

// Appends the 7 picking nodes; the arm that picks. Fails at the first IK check that fails;
// the nodes appended so far stay in the list.
Result<Arm> planObjectPicking(TaskContext& task, const ObjectSize& size, const HandPose& pose,
                              const SlotPosition& slot, double handOffset_m, OperationList& list);

// Appends the 8 placing nodes. Fails at the first IK check that fails.
Outcome planObjectPlacing(TaskContext& task, const ObjectSize& size, const SlotPosition& slot,
                          double handOffset_m, Arm arm, OperationList& list);

constexpr const char* kObjectFinished = "HIRO_OBJ_MANIP_FINISHED";
constexpr const char* kObjectError = "HIRO_OBJ_MANIP_ERROR";

}  // namespace pickplace
