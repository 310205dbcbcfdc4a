#pragma once
// The steps of the scenario with their durations, as the page lists them. Two sources: the
// steps file that scripts/demo writes (label, word, answer, expected answer, seconds; read with
// demo_summary's parser), or, without one, the words themselves: a word the dashboard sent is
// a step that ends with the next word answered on the same side (coordinator or planner).
#include <optional>
#include <string>
#include <vector>

#include "command_words.h"

namespace dashboard {

struct StepView {
  std::string label;
  std::string command;   // the word that started the step; empty when not known
  std::string answer;    // empty while the step runs
  std::string expected;  // from the steps file only
  std::optional<double> duration_s;
  bool succeeded = false;  // the answer is the expected one (steps file), or any answer
};

struct StepsFromFile {
  std::vector<StepView> steps;
  std::string error;  // the file could not be read or has a malformed line
};

// The steps of a steps file's text.
StepsFromFile stepsFromText(const std::string& text);

class StepTracker {
 public:
  static constexpr std::size_t kMaxSteps = 50;

  // A word the dashboard sent at time_s (seconds since the epoch).
  void commandSent(WordTarget target, const std::string& word, double time_s);
  // A word that arrived on the coordinator's or the planner's report port.
  void answerSeen(WordTarget source, const std::string& word, double time_s);
  const std::vector<StepView>& steps() const { return steps_; }

 private:
  struct Open {
    WordTarget target;
    std::size_t index;
    double started_s;
  };
  void trim();

  std::vector<StepView> steps_;
  std::vector<Open> open_;
};

}  // namespace dashboard
