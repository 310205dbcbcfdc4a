#pragma once
// Small helpers the object and tray planners share.

#include <memory>
#include <string>
#include <utility>

#include "task_context.h"

namespace pickplace {

// Short pause between grip steps, seconds.
constexpr double kGripPause_s = 0.2;
// Lift of an approach or retreat above a hand target, metres.
constexpr double kObjectApproachHeight_m = 0.05;
constexpr double kPlaceApproachHeight_m = 0.1;

template <class Node, class... Args>
void append(OperationList& list, Args&&... args) {
  list.push_back(std::make_unique<Node>(std::forward<Args>(args)...));
}

// Ends a plan step: one full stop on the progress line.
inline void stepDone(TaskContext& task) { task.console.print("."); }

// The plan's title line and every node's description.
inline void printPlan(TaskContext& task, const std::string& title, const OperationList& list) {
  std::string text = title + "\n";
  for (const auto& node : list) {
    text += node->print();
  }
  task.console.print(text);
}

inline HandPose raised(HandPose pose, double by_m) {
  pose.z_m += by_m;
  return pose;
}

// The body/head pose with the chest turned to chest_rad, head unchanged.
inline JointAngles bodyPoseFacing(double chest_rad) {
  JointAngles body = bodyPose();
  body[kBodyHead][0] = chest_rad;
  return body;
}

}  // namespace pickplace
