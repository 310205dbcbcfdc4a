#include "program_command_line.h"

#include "shell/cli_parse.h"

#include <project_version.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace shell {

namespace {
constexpr const char* kOrbOptionPrefix = "-ORB";
}  // namespace

ProgramCommandLine::ProgramCommandLine(const std::string& program, const std::string& description)
    : app_(description, program) {
  app_.set_version_flag("--version", program + " " + kProjectVersion);
  app_.add_option("-f", configFile_, "the middleware's configuration file (rtc.conf)")
      ->option_text("FILE");
  app_.add_option("-o", overrides_, "a configuration value, overriding rtc.conf (repeatable)")
      ->option_text("KEY:VALUE")
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->check([](const std::string& pair) -> std::string {
        const size_t colon = pair.find(':');
        if (colon == std::string::npos || colon == 0) return "expects KEY:VALUE";
        return {};
      });
  app_.add_option("-p", endpointPort_, "the port of this process's CORBA endpoint")
      ->option_text("PORT")
      ->check(CLI::Range(1, 65535));
  app_.add_flag("-d", master_, "run as the master manager");
  app_.footer("ORB options (-ORBname value) go to the ORB.");
}

std::optional<int> ProgramCommandLine::parse(int argc, const char* const argv[]) {
  // ORB options take one value each and are not CLI11's to check; they go to the
  // middleware as they stand.
  std::vector<std::string> orbOptions;
  std::vector<const char*> rest;
  for (int i = 0; i < argc; ++i) {
    const std::string word = argv[i];
    if (i > 0 && word.rfind(kOrbOptionPrefix, 0) == 0) {
      orbOptions.push_back(word);
      if (i + 1 < argc) orbOptions.push_back(argv[++i]);
      continue;
    }
    rest.push_back(argv[i]);
  }
  if (auto status = parseArguments(app_, static_cast<int>(rest.size()), rest.data())) {
    return status;
  }
  middlewareArguments_ = {argc > 0 ? argv[0] : app_.get_name()};
  if (!configFile_.empty())
    middlewareArguments_.insert(middlewareArguments_.end(), {"-f", configFile_});
  for (const std::string& pair : overrides_)
    middlewareArguments_.insert(middlewareArguments_.end(), {"-o", pair});
  if (!endpointPort_.empty())
    middlewareArguments_.insert(middlewareArguments_.end(), {"-p", endpointPort_});
  if (master_) middlewareArguments_.push_back("-d");
  middlewareArguments_.insert(middlewareArguments_.end(), orbOptions.begin(), orbOptions.end());
  return std::nullopt;
}

std::string programName(const char* argv0) {
  const std::string path = argv0 ? argv0 : "";
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

CLI::Validator finiteBetween(double lowest, double highest) {
  std::ostringstream range;
  range << "from " << lowest << " to " << highest;
  const std::string description = range.str();
  // No description of its own: the option's help text says the range where it reads well.
  return CLI::Validator(
      [lowest, highest, description](std::string& text) -> std::string {
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !std::isfinite(value) || value < lowest ||
            value > highest)
          return "\"" + text + "\" is not a number " + description;
        return {};
      },
      "");
}

}  // namespace shell
