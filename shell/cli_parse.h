#pragma once
// One way for every program to read its command line with CLI11: --help and --version print on
// standard output and end the program with 0; anything the program does not understand ends it
// with one line naming the problem, the usage on standard error and kUsageError.

#include <optional>

#include <CLI/CLI.hpp>

namespace shell {

constexpr int kUsageError = 2;

// Reads the arguments into `app`. nullopt when the program goes on; otherwise the status to
// exit with, after the help, the version or the problem has been printed.
std::optional<int> parseArguments(CLI::App& app, int argc, const char* const argv[]);

}  // namespace shell
