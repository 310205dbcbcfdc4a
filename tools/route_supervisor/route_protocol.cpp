#include "route_protocol.h"

#include <cstdio>

namespace routesupervisor {

void RouteProtocol::awaitPorts(double now_s) {
  if (phase_ != RoutePhase::NotStarted) return;
  phase_ = RoutePhase::WaitingForPorts;
  deadline_s_ = now_s + timeouts_.connect_s;
}

std::string RouteProtocol::start(double now_s) {
  if (phase_ != RoutePhase::NotStarted && phase_ != RoutePhase::WaitingForPorts) return "";
  phase_ = RoutePhase::WaitingForArrival;
  deadline_s_ = now_s + timeouts_.arrival_s;
  return kWordStart;
}

bool RouteProtocol::received(const std::string& word) {
  if (phase_ == RoutePhase::WaitingForArrival && word == kWordArrived) {
    phase_ = RoutePhase::AtStation;
    return true;
  }
  if (phase_ == RoutePhase::WaitingForFinish && word == kWordFinish) {
    phase_ = RoutePhase::Finished;
    return true;
  }
  return false;
}

std::string RouteProtocol::stationWorkDone(bool succeeded, const std::string& failure,
                                           double now_s) {
  if (phase_ != RoutePhase::AtStation) return "";
  if (!succeeded) {
    phase_ = RoutePhase::Failed;
    failure_ = failure;
    return "";
  }
  phase_ = RoutePhase::WaitingForFinish;
  deadline_s_ = now_s + timeouts_.finish_s;
  return kWordGoBack;
}

bool RouteProtocol::checkTimeout(double now_s) {
  const bool waiting = phase_ == RoutePhase::WaitingForPorts || awaitingPlanner();
  if (!waiting || now_s < deadline_s_) return false;
  char text[120];
  if (phase_ == RoutePhase::WaitingForPorts) {
    std::snprintf(text, sizeof text, "ports not connected within %.1f s", timeouts_.connect_s);
  } else {
    const bool arrival = phase_ == RoutePhase::WaitingForArrival;
    std::snprintf(text, sizeof text, "no %s within %.1f s", arrival ? kWordArrived : kWordFinish,
                  arrival ? timeouts_.arrival_s : timeouts_.finish_s);
  }
  failure_ = text;
  phase_ = RoutePhase::Failed;
  return true;
}

bool RouteProtocol::awaitingPlanner() const {
  return phase_ == RoutePhase::WaitingForArrival || phase_ == RoutePhase::WaitingForFinish;
}

bool RouteProtocol::giveUp(const std::string& reason) {
  const bool waiting = phase_ == RoutePhase::WaitingForPorts || awaitingPlanner();
  if (!waiting) return false;
  failure_ = reason;
  phase_ = RoutePhase::Failed;
  return true;
}

}  // namespace routesupervisor
