#include "route_watch.h"

#include <cmath>
#include <cstdio>

namespace routesupervisor {
namespace {

bool isFault(PlannerCondition condition) {
  return condition == PlannerCondition::Silent || condition == PlannerCondition::MapMissing;
}

}  // namespace

void RouteWatch::restart(double now_s) {
  restarted_s_ = now_s;
  fault_ = PlannerFinding{};
  anchor_.reset();
  anchorSince_s_ = now_s;
}

void RouteWatch::planner(const PlannerFinding& finding, double seen_s) {
  if (seen_s < restarted_s_) return;
  if (!isFault(finding.condition)) {
    fault_ = PlannerFinding{};
    return;
  }
  if (finding.condition != fault_.condition) faultSince_s_ = seen_s;
  fault_ = finding;
}

void RouteWatch::basePosition(double x_m, double y_m, double seen_s) {
  if (seen_s < restarted_s_) return;
  // The first position after a restart only sets the mark; the time counts from the restart.
  if (!anchor_) {
    anchor_ = Position{x_m, y_m};
    return;
  }
  if (std::hypot(x_m - anchor_->x_m, y_m - anchor_->y_m) >= kProgressDistance_m) {
    anchor_ = Position{x_m, y_m};
    anchorSince_s_ = seen_s;
  }
}

std::string RouteWatch::giveUpReason(double now_s) const {
  char text[320];
  if (isFault(fault_.condition) && now_s - faultSince_s_ >= timeouts_.fault_s) {
    const char* what =
        fault_.condition == PlannerCondition::Silent ? "planner silent" : "map service missing";
    std::snprintf(text, sizeof text, "%s for %.1f s: %s", what, timeouts_.fault_s,
                  fault_.detail.c_str());
    return text;
  }
  if (anchor_ && now_s - anchorSince_s_ >= timeouts_.progress_s) {
    std::snprintf(text, sizeof text, "no progress: the base moved less than %.2f m in %.1f s",
                  kProgressDistance_m, timeouts_.progress_s);
    return text;
  }
  return "";
}

}  // namespace routesupervisor
