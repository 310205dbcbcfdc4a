#include "scenario_steps.h"

#include <algorithm>

#include "step_record.h"

namespace dashboard {

StepsFromFile stepsFromText(const std::string& text) {
  demo_summary::StepParse parse = demo_summary::parseSteps(text);
  StepsFromFile result;
  result.error = parse.error;
  for (const demo_summary::StepRecord& record : parse.steps) {
    result.steps.push_back({record.label, record.command, record.answer, record.expected,
                            record.duration_s, record.succeeded()});
  }
  return result;
}

void StepTracker::commandSent(WordTarget target, const std::string& word, double time_s) {
  // A new word to the same side ends the wait for the earlier one's answer: it stays open.
  open_.erase(std::remove_if(open_.begin(), open_.end(),
                             [&](const Open& open) { return open.target == target; }),
              open_.end());
  steps_.push_back({word, word, "", "", std::nullopt, false});
  open_.push_back({target, steps_.size() - 1, time_s});
  trim();
}

void StepTracker::answerSeen(WordTarget source, const std::string& word, double time_s) {
  for (auto open = open_.begin(); open != open_.end(); ++open) {
    if (open->target != source) continue;
    StepView& step = steps_[open->index];
    step.answer = word;
    step.duration_s = time_s - open->started_s;
    step.succeeded = true;
    open_.erase(open);
    return;
  }
  // A word nobody here asked for (the demo or rtctl drives the system): listed, no duration.
  steps_.push_back({word, "", word, "", std::nullopt, true});
  trim();
}

void StepTracker::trim() {
  if (steps_.size() <= kMaxSteps) return;
  const std::size_t dropped = steps_.size() - kMaxSteps;
  steps_.erase(steps_.begin(), steps_.begin() + static_cast<long>(dropped));
  open_.erase(std::remove_if(open_.begin(), open_.end(),
                             [&](const Open& open) { return open.index < dropped; }),
              open_.end());
  for (Open& open : open_) open.index -= dropped;
}

}  // namespace dashboard
