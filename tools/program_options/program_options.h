#pragma once
// The command line of a program that hosts a component: its own "--name value" options, and
// everything else for the middleware (-f rtc.conf, -o key:value).

#include <map>
#include <set>
#include <string>
#include <vector>

namespace programoptions {

struct SplitCommandLine {
  std::map<std::string, std::string> own;        // option -> value (the last one given)
  std::vector<std::string> middlewareArguments;  // program name first
  std::string error;                             // empty when the line was understood
};

SplitCommandLine splitCommandLine(const std::vector<std::string>& arguments,
                                  const std::set<std::string>& ownOptions);

// A positive finite number; false (and `value` untouched) otherwise.
bool readPositive(const std::string& text, double& value);

// argc/argv for the middleware; the strings must outlive it.
class MiddlewareArgv {
 public:
  explicit MiddlewareArgv(const std::vector<std::string>& arguments);
  int argc() const { return static_cast<int>(pointers_.size()) - 1; }
  char** argv() { return pointers_.data(); }

 private:
  std::vector<char*> pointers_;
};

}  // namespace programoptions
