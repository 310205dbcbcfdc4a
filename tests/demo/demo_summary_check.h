#pragma once
// What a good run of the whole scenario leaves in demo_summary's report, wherever its programs
// ran: every step gave its word, every object lies in its slot on the tray, the tray on the
// base, and the base drove back without a collision. Checked with GoogleTest expectations.
#include <string>
#include <vector>

namespace demo_test {

void expectSuccessfulSummary(const std::string& summary);

// Every line of text that contains `what`, stripped of surrounding blanks.
std::vector<std::string> linesWith(const std::string& text, const std::string& what);

}  // namespace demo_test
