#pragma once
// The command line of every program that hosts a component, read with CLI11: the
// middleware's options (-f FILE, -o KEY:VALUE repeatable, -p PORT, -d, and -ORB... options with
// their value), the program's own options, --help and --version. Nothing starts before the
// whole line is understood: --help and --version print and end the program with 0, anything
// unknown ends it with its usage and 2.
//
//   shell::ProgramCommandLine line("HiroSimComp", "The simulated robot cell.");
//   line.app().add_option("--time-scale", timeScale, "simulated seconds per second");
//   if (auto status = line.parse(argc, argv)) return *status;
//   return shell::runComponentProcess(line, moduleInit);
#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

namespace shell {

class ProgramCommandLine {
 public:
  ProgramCommandLine(const std::string& program, const std::string& description);
  ProgramCommandLine(const ProgramCommandLine&) = delete;
  ProgramCommandLine& operator=(const ProgramCommandLine&) = delete;

  // Where the program adds its own options before parse().
  CLI::App& app() { return app_; }

  // Reads the whole line. nullopt when the program goes on; otherwise the status to exit
  // with, after the help or version on standard output (0) or one line naming the problem
  // and the usage on standard error (2).
  std::optional<int> parse(int argc, const char* const argv[]);

  // The middleware's part of the line, program name first, in its order: what
  // RTC::Manager::init reads.
  const std::vector<std::string>& middlewareArguments() const { return middlewareArguments_; }

 private:
  CLI::App app_;
  std::string configFile_;
  std::vector<std::string> overrides_;
  std::string endpointPort_;
  bool master_ = false;
  std::vector<std::string> middlewareArguments_;
};

// The program name of argv[0] without its folder.
std::string programName(const char* argv0);

// A check for an option's value: a finite number from `lowest` to `highest`, both included
// (CLI11's own ranges let "nan" through).
CLI::Validator finiteBetween(double lowest, double highest);

}  // namespace shell
