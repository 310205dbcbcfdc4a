#pragma once
// A tool's command line read as its program reads it (shell::ProgramCommandLine with the tool's
// own options), its help and error output kept out of the test's.
#include <gtest/gtest.h>

#include <shell/program_command_line.h>

#include <optional>
#include <string>
#include <vector>

namespace simbase_test {

struct ParsedCommandLine {
  std::optional<int> status;  // nullopt when the program would go on
  std::vector<std::string> middleware;
  std::string error;  // what the program wrote to standard error
};

// `addOptions(app)` adds the tool's options, writing into variables that outlive the call.
template <class AddOptions>
ParsedCommandLine parseCommandLine(const std::vector<std::string>& words, AddOptions addOptions) {
  shell::ProgramCommandLine line(words.empty() ? "tool" : words.front(), "test");
  addOptions(line.app());
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  ParsedCommandLine parsed;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  parsed.status = line.parse(static_cast<int>(argv.size()), argv.data());
  testing::internal::GetCapturedStdout();
  parsed.error = testing::internal::GetCapturedStderr();
  parsed.middleware = line.middlewareArguments();
  return parsed;
}

}  // namespace simbase_test
