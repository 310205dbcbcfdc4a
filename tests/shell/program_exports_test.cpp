// Every component program exports its registration functions and nothing else of its own:
// the global symbols `nm -D --defined-only` lists are those, and besides them only the copies
// of shared libraries' data that a position-independent program keeps (readelf shows them
// as copy relocations).
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Program {
  std::string path;
  std::set<std::string> registrationFunctions;
};

// COMPONENT_PROGRAMS_FILE: one line per program, its path and its registration functions.
std::vector<Program> componentPrograms() {
  std::vector<Program> programs;
  std::ifstream file(COMPONENT_PROGRAMS_FILE);
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream words(line);
    Program program;
    words >> program.path;
    std::string function;
    while (words >> function) program.registrationFunctions.insert(function);
    if (!program.path.empty()) programs.push_back(program);
  }
  return programs;
}

// The lines a command writes.
std::vector<std::string> linesOf(const std::string& command) {
  std::vector<std::string> lines;
  FILE* output = popen((command + " 2>&1").c_str(), "r");
  if (output == nullptr) return lines;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, output) != nullptr) lines.push_back(buffer);
  pclose(output);
  return lines;
}

// A symbol name without its library version ("stdout@GLIBC_2.2.5" → "stdout").
std::string unversioned(const std::string& name) { return name.substr(0, name.find('@')); }

// The program's own exports: its global dynamic symbols, less the copies of library data.
std::set<std::string> ownExports(const std::string& path) {
  std::set<std::string> copies;
  for (const std::string& line : linesOf("readelf -rW '" + path + "'")) {
    std::istringstream words(line);
    std::string offset, info, type, value, name;
    if (words >> offset >> info >> type >> value >> name && type.size() > 5 &&
        type.compare(type.size() - 5, 5, "_COPY") == 0)
      copies.insert(unversioned(name));
  }
  std::set<std::string> symbols;
  for (const std::string& line : linesOf("nm -D --defined-only '" + path + "'")) {
    std::istringstream words(line);
    std::string address, type, name;
    if (!(words >> address >> type >> name)) continue;
    // Lower-case types are local: listed, but not exported.
    if (std::islower(static_cast<unsigned char>(type[0]))) continue;
    if (copies.count(unversioned(name)) == 0) symbols.insert(name);
  }
  return symbols;
}

TEST(ProgramExports, eachComponentProgramExportsOnlyItsRegistrationFunctions) {
  const std::vector<Program> programs = componentPrograms();
  // At least the three deliverables.
  ASSERT_GE(programs.size(), 3u);
  for (const Program& program : programs) {
    EXPECT_EQ(ownExports(program.path), program.registrationFunctions) << program.path;
  }
}

}  // namespace
