#include "program_options.h"

#include <cmath>
#include <cstdlib>

namespace programoptions {

SplitCommandLine splitCommandLine(const std::vector<std::string>& arguments,
                                  const std::set<std::string>& ownOptions) {
  SplitCommandLine line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (i == 0 || ownOptions.count(word) == 0) {
      line.middlewareArguments.push_back(word);
      continue;
    }
    if (i + 1 >= arguments.size()) {
      line.error = word + " needs a value";
      return line;
    }
    line.own[word] = arguments[++i];
  }
  return line;
}

bool readPositive(const std::string& text, double& value) {
  char* end = nullptr;
  const double number = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || !std::isfinite(number) || number <= 0.0) return false;
  value = number;
  return true;
}

MiddlewareArgv::MiddlewareArgv(const std::vector<std::string>& arguments) {
  for (const std::string& word : arguments) pointers_.push_back(const_cast<char*>(word.c_str()));
  pointers_.push_back(nullptr);
}

}  // namespace programoptions
