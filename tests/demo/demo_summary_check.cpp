#include "demo_summary_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>

namespace demo_test {
namespace {

constexpr double kTolerance_mm = 10.0;

std::vector<double> numbersMatching(const std::string& text, const std::regex& pattern) {
  std::vector<double> numbers;
  for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) {
    numbers.push_back(std::stod((*it)[1].str()));
    if (it->size() > 2) numbers.push_back(std::stod((*it)[2].str()));
  }
  return numbers;
}

}  // namespace

std::vector<std::string> linesWith(const std::string& text, const std::string& what) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.find(what) == std::string::npos) continue;
    const auto first = line.find_first_not_of(" \t");
    const auto last = line.find_last_not_of(" \t\r");
    lines.push_back(first == std::string::npos ? "" : line.substr(first, last - first + 1));
  }
  return lines;
}

void expectSuccessfulSummary(const std::string& summary) {
  ASSERT_FALSE(summary.empty());
  for (const char* answer : {"ROBOT_ARRIVED", "HIRO_TRAY_MANIP_FINISHED", "ROBOT_FINISH"}) {
    const auto lines = linesWith(summary, answer);
    ASSERT_EQ(lines.size(), 1u) << answer << "\n" << summary;
    EXPECT_NE(lines[0].find(" OK"), std::string::npos) << lines[0];
  }
  const auto objectSteps = linesWith(summary, "HIRO_OBJ_MANIP_FINISHED");
  EXPECT_EQ(objectSteps.size(), 2u) << summary;

  // Each object: on the tray, within 10 mm of its slot across and up.
  const auto objects = linesWith(summary, "(class ");
  const std::regex offsets(R"(([0-9.]+) mm across, ([-+0-9.]+) mm up, on the tray)");
  const auto objectOffsets = numbersMatching(summary, offsets);
  ASSERT_EQ(objectOffsets.size(), 2 * objects.size()) << summary;
  ASSERT_EQ(objects.size(), 2u) << summary;
  for (double offset_mm : objectOffsets) EXPECT_LE(std::abs(offset_mm), kTolerance_mm) << summary;

  const auto trayOffset = numbersMatching(summary, std::regex(R"(: ([0-9.]+) mm off)"));
  ASSERT_EQ(trayOffset.size(), 1u) << summary;
  EXPECT_LE(trayOffset[0], kTolerance_mm) << summary;
  EXPECT_NE(summary.find("collisions 0,"), std::string::npos) << summary;
  EXPECT_NE(summary.find("Result: every step succeeded"), std::string::npos) << summary;
}

}  // namespace demo_test
