#include "program_start.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "name_server_address.h"
#include "private_system.h"

namespace rtctl {

namespace {

namespace fs = std::filesystem;

const char* const kRtcConf = "rtc.conf";

bool isExecutableFile(const std::string& path) {
  std::error_code ignored;
  return fs::is_regular_file(path, ignored) && access(path.c_str(), X_OK) == 0;
}

// The file's text, or nothing when it cannot be read.
std::optional<std::string> fileText(const std::string& path) {
  std::ifstream stream(path);
  if (!stream) return std::nullopt;
  std::ostringstream text;
  text << stream.rdbuf();
  return text.str();
}

std::string workingFolderOf(const ProgramEntry& program, const std::string& outDir) {
  return program.workingFolder.empty() ? (fs::absolute(outDir) / "run" / program.label).string()
                                       : fs::absolute(program.workingFolder).string();
}

std::string problemText(const ProgramEntry& program, const std::string& what) {
  return program.place.text() + ": " + program.label + ": " + what;
}

bool writtenByLaunch(const std::string& path) {
  std::ifstream stream(path);
  std::string first;
  std::getline(stream, first);
  return first.rfind(kWrittenConfMarker, 0) == 0;
}

}  // namespace

std::string findProgram(const std::string& program) {
  if (program.find('/') != std::string::npos) return isExecutableFile(program) ? program : "";
  const char* path = std::getenv("PATH");
  std::stringstream folders(path ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    std::string candidate = (fs::path(folder.empty() ? "." : folder) / program).string();
    if (isExecutableFile(candidate)) return candidate;
  }
  return "";
}

std::vector<std::string> launcherOf(const HostEntry& host) {
  std::vector<std::string> words = host.launcher;
  if (!words.empty()) words[0] = findProgram(words[0]);
  return words;
}

std::string composeRtcConf(const std::string& markerDetail, const std::string& sourceText,
                           const std::vector<std::pair<std::string, std::string>>& keys) {
  std::string text = std::string(kWrittenConfMarker) + " " + markerDetail + "\n";
  text += sourceText;
  if (!sourceText.empty() && sourceText.back() != '\n') text += "\n";
  text += "# Set by rtctl launch:\n";
  for (const auto& [key, value] : keys) text += key + ": " + value + "\n";
  return text;
}

std::vector<std::string> missingFiles(const SystemFile& file, const ProgramEntry& program,
                                      const std::string& outDir) {
  std::vector<std::string> missing;
  if (!file.host(program.host).launcher.empty()) return missing;
  std::string folder = workingFolderOf(program, outDir);
  for (const std::string& needed : program.neededFiles) {
    fs::path path = fs::path(needed).is_absolute() ? fs::path(needed) : fs::path(folder) / needed;
    std::error_code ignored;
    if (!fs::exists(path, ignored)) {
      missing.push_back(problemText(program, "needs " + path.string() + ", which is missing"));
    }
  }
  return missing;
}

ProgramStartPlan planProgramStart(const SystemFile& file, const ProgramEntry& program,
                                  const std::string& nameServer, const std::string& outDir) {
  ProgramStartPlan plan;
  auto problem = [&](const std::string& what) {
    plan.problems.push_back(problemText(program, what));
  };
  const HostEntry& host = file.host(program.host);
  bool here = host.launcher.empty();
  ProgramStart start;
  start.label = program.label;
  fs::path out = fs::absolute(outDir);
  start.workingFolder = workingFolderOf(program, outDir);
  start.logPath = (out / "logs" / (program.label + ".log")).string();
  start.environment = program.environment;

  std::string executable = program.command[0];
  if (here) {
    executable = findProgram(program.command[0]);
    if (executable.empty()) {
      problem(program.command[0] + (program.command[0].find('/') == std::string::npos
                                        ? ": no such program in $PATH"
                                        : ": no such program (or it cannot be executed)"));
    }
  }
  // The launcher runs here; what it starts is found on the other side.
  start.argv = launcherOf(host);
  if (!here && start.argv[0].empty()) {
    problem("its host's launcher " + host.launcher[0] + " is no program here (" +
            host.place.text() + ")");
  }
  start.argv.push_back(executable.empty() ? program.command[0] : executable);

  if (program.writesConf) {
    std::string sourceText;
    if (!program.confSource.empty()) {
      std::optional<std::string> text = fileText(program.confSource);
      if (!text) problem("its rtc.conf " + program.confSource + " cannot be read");
      sourceText = text.value_or("");
    }
    start.confPath = (fs::path(start.workingFolder) / kRtcConf).string();
    std::error_code ignored;
    if (here && fs::exists(start.confPath, ignored) && !writtenByLaunch(start.confPath)) {
      problem(start.confPath +
              " exists and was not written by rtctl launch; name it with conf= (launch writes "
              "the program's rtc.conf there) or remove it");
    }
    std::vector<std::pair<std::string, std::string>> keys = program.confValues;
    if (name_service::isUnixSocketAddress(nameServer) && host.declared) {
      problem("runs on host " + host.name +
              ", but a system whose name server is a Unix socket is private to this machine");
    } else if (name_service::isUnixSocketAddress(nameServer)) {
      // Private: a socket beside the name server's and no TCP endpoint at all; the program's
      // own ORB options are kept.
      keys.emplace_back("corba.nameservers", name_service::nameServiceLocation(nameServer));
      keys.emplace_back("corba.endpoints", "");
      std::string orbArguments = confValueOf(sourceText, "corba.args");
      for (const auto& [key, value] : program.confValues) {
        if (key == "corba.args") orbArguments = value;
      }
      for (const std::string& word :
           privateOrbArguments(name_service::socketFolderOf(nameServer))) {
        orbArguments += (orbArguments.empty() ? "" : " ") + word;
      }
      keys.emplace_back("corba.args", orbArguments);
    } else {
      keys.emplace_back("corba.nameservers", nameServer);
    }
    if (host.declared) {
      keys.emplace_back("corba.endpoints", host.address + ":");
      keys.emplace_back("naming.formats", host.name + ".host_cxt/%n.rtc");
    }
    start.confText = composeRtcConf(
        "for " + program.label + " (" + program.place.text() + "); written again at each start.",
        sourceText, keys);
    start.argv.insert(start.argv.end(), {"-f", start.confPath});
  }
  start.argv.insert(start.argv.end(), program.command.begin() + 1, program.command.end());

  for (const std::string& missing : missingFiles(file, program, outDir)) {
    plan.problems.push_back(missing);
  }
  if (plan.problems.empty()) plan.start = start;
  return plan;
}

}  // namespace rtctl
