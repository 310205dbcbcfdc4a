#include "answer_probe.h"

#include <omniORB4/CORBA.h>
#include <omnithread.h>

#include "profile_format.h"

namespace rtctl {

AnswerProbe::AnswerProbe(std::vector<Target> targets, std::chrono::milliseconds callTimeout)
    : targets_(std::move(targets)),
      callTimeout_(callTimeout),
      lastAnswer_(std::chrono::steady_clock::now().time_since_epoch().count()) {
  thread_ = std::thread([this] { run(); });
}

AnswerProbe::~AnswerProbe() {
  stop_ = true;
  thread_.join();
}

double AnswerProbe::silentFor_s() const {
  auto last =
      std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(lastAnswer_));
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - last).count();
}

std::optional<std::vector<std::pair<std::string, std::string>>> AnswerProbe::statesSince(
    std::chrono::steady_clock::time_point since) const {
  std::lock_guard<std::mutex> lock(statesMutex_);
  if (statesAsked_ < since) return std::nullopt;
  return states_;
}

std::optional<std::vector<std::pair<std::string, std::string>>> AnswerProbe::askAll() {
  std::vector<std::pair<std::string, std::string>> states;
  for (const Target& target : targets_) {
    try {
      if (CORBA::is_nil(target.context)) {
        if (target.object->_non_existent()) return std::nullopt;
        continue;
      }
      states.emplace_back(
          target.name, lifeCycleStateName(target.context->get_component_state(target.component)));
    } catch (const CORBA::Exception&) {
      return std::nullopt;
    }
  }
  return states;
}

void AnswerProbe::run() {
  // Call time limits are set per thread, and only for threads the ORB knows.
  omni_thread::create_dummy();
  omniORB::setClientThreadCallTimeout(static_cast<CORBA::ULong>(callTimeout_.count()));
  while (!stop_) {
    auto asked = std::chrono::steady_clock::now();
    if (auto states = askAll()) {
      lastAnswer_ = asked.time_since_epoch().count();
      std::lock_guard<std::mutex> lock(statesMutex_);
      states_ = std::move(*states);
      statesAsked_ = asked;
    }
    auto next = asked + kProbeInterval;
    while (!stop_ && std::chrono::steady_clock::now() < next) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  omni_thread::release_dummy();
}

}  // namespace rtctl
