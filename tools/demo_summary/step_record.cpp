#include "step_record.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace demo_summary {
namespace {

constexpr std::size_t kFieldCount = 5;

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(
        line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

}  // namespace

StepParse parseSteps(const std::string& text) {
  StepParse parse;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const auto fields = splitTabs(line);
    if (fields.size() != kFieldCount) {
      parse.error = "line " + std::to_string(number) + ": " + std::to_string(fields.size()) +
                    " fields instead of " + std::to_string(kFieldCount);
      return parse;
    }
    StepRecord step{fields[0], fields[1], fields[2], fields[3], 0.0};
    char* end = nullptr;
    step.duration_s = std::strtod(fields[4].c_str(), &end);
    if (fields[4].empty() || *end != '\0' || !std::isfinite(step.duration_s) ||
        step.duration_s < 0.0) {
      parse.error = "line " + std::to_string(number) + ": duration is not a number of seconds: \"" +
                    fields[4] + "\"";
      return parse;
    }
    parse.steps.push_back(step);
  }
  return parse;
}

bool allStepsSucceeded(const std::vector<StepRecord>& steps) {
  if (steps.empty()) return false;
  for (const StepRecord& step : steps) {
    if (!step.succeeded()) return false;
  }
  return true;
}

}  // namespace demo_summary
