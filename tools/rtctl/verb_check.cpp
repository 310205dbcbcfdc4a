// rtctl check FILE [--file-only]: reads and validates a system file, then compares the live
// system with it line by line: which components are missing, which connections exist, differ
// or are missing, which values and states differ. Exit 0 only when everything matches.
#include <iostream>

#include "live_system.h"
#include "program_start.h"
#include "verbs.h"

namespace rtctl {

namespace {

// Reports what launch would find wrong on this machine; returns how many.
int reportStartProblems(const Invocation& invocation, const SystemFile& file) {
  int problems = 0;
  for (const ProgramEntry& program : file.programs) {
    ProgramStartPlan plan =
        planProgramStart(file, program, invocation.nameServer, invocation.launch.outDir);
    for (const std::string& problem : plan.problems) std::cout << problem << "\n";
    problems += static_cast<int>(plan.problems.size());
  }
  return problems;
}

// Compares the live system; returns how many things differ.
int reportDifferences(Session& session, const Invocation& invocation, const SystemFile& file) {
  int differences = 0;
  LiveRead live = readLiveSystem(session, file.componentNames());
  for (const ProgramEntry& program : file.programs) {
    for (const std::string& component : program.components) {
      std::cout << program.place.text() << ": program " << program.label << ": " << component
                << ": ";
      auto problem = live.problems.find(component);
      if (problem != live.problems.end()) {
        std::cout << "not running (" << problem->second << ")\n";
        ++differences;
        continue;
      }
      const ComponentInfo* info = findLiveComponent(live.components, component);
      std::cout << "running (" << (info->state.empty() ? "no context" : info->state) << ")\n";
    }
    for (const std::string& missing : missingFiles(file, program, invocation.launch.outDir)) {
      std::cout << missing << "\n";
      ++differences;
    }
  }
  for (const Action& line : file.actions) {
    std::cout << line.place.text() << ": " << line.text() << ": ";
    auto problem = live.problems.end();
    for (const std::string& name : line.componentNames()) {
      if (problem == live.problems.end()) problem = live.problems.find(name);
    }
    if (problem != live.problems.end()) {
      std::cout << "cannot compare: " << problem->second << "\n";
      ++differences;
      continue;
    }
    LineCheck check = checkLine(line, live.components);
    if (check.holds) {
      std::cout << "ok (" << check.detail << ")\n";
      continue;
    }
    std::cout << (check.unknown ? "cannot compare: " : "differs: ") << check.detail << "\n";
    ++differences;
  }
  return differences;
}

}  // namespace

int checkCommand(Session* session, const Invocation& invocation, const SystemFile& file) {
  if (!session) {
    int problems = reportStartProblems(invocation, file);
    std::cout << file.path << ": " << file.programs.size() << " programs, " << file.actions.size()
              << " lines; "
              << (problems == 0 ? "the file is valid and its programs can start here"
                                : std::to_string(problems) + " problems")
              << "\n";
    return problems == 0 ? 0 : 1;
  }
  int differences = reportDifferences(*session, invocation, file);
  if (differences == 0) {
    std::cout << file.path << ": the live system matches\n";
    return 0;
  }
  std::cout << file.path << ": " << differences << " difference" << (differences == 1 ? "" : "s")
            << " from the live system\n";
  return 1;
}

}  // namespace rtctl
