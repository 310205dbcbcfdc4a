#include "shell/cli_parse.h"

#include <iostream>

namespace shell {

std::optional<int> parseArguments(CLI::App& app, int argc, const char* const argv[]) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    return 0;
  } catch (const CLI::CallForVersion& version) {
    std::cout << version.what() << std::endl;
    return 0;
  } catch (const CLI::ParseError& error) {
    std::cerr << app.get_name() << ": " << error.what() << "\n\n" << app.help();
    return kUsageError;
  }
  return std::nullopt;
}

}  // namespace shell
