#pragma once
// The steps of a demo run as scripts/demo records them: one line per step, tab-separated
//   label <TAB> command word <TAB> answer <TAB> expected answer <TAB> duration in seconds
// The answer is the word that came back, or what happened instead ("TIMEOUT",
// "ENDED:<process>", "SEND_FAILED").

#include <string>
#include <vector>

namespace demo_summary {

struct StepRecord {
  std::string label;
  std::string command;
  std::string answer;
  std::string expected;
  double duration_s = 0.0;

  bool succeeded() const { return answer == expected; }
};

struct StepParse {
  std::vector<StepRecord> steps;
  std::string error;  // non-empty: "line N: what is wrong"; steps then holds the lines before
};

StepParse parseSteps(const std::string& text);

// True when there is at least one step and every step got its expected answer.
bool allStepsSucceeded(const std::vector<StepRecord>& steps);

}  // namespace demo_summary
