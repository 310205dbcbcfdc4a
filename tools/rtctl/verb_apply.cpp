// rtctl apply FILE: makes the live system match the file's lines, in file order, stopping at
// the first failure with its file and line.
#include <iostream>

#include "system_apply.h"
#include "verbs.h"

namespace rtctl {

int applyCommand(Session& session, const Invocation&, const SystemFile& file) {
  ApplyOutcome outcome = applyLines(
      session, file.actions, [](const std::string& line) { std::cout << line << std::endl; });
  if (!outcome.failure.empty()) throw Failure(outcome.failure);
  std::cout << file.path << ": applied (" << outcome.changed << " changed, " << outcome.held
            << " already so)\n";
  return 0;
}

}  // namespace rtctl
