#pragma once
// How rtctl launch starts one program of a system file: the command it executes, the working
// folder, the rtc.conf it writes there and the log its output goes to; and what on this
// machine's disk stands in the way (a program not found, a file a program needs missing).
// Reads files, starts nothing.
#include <optional>
#include <string>
#include <vector>

#include "system_file.h"

namespace rtctl {

// The first line of every rtc.conf that launch writes; a file without it is the user's own
// and never overwritten.
inline constexpr const char* kWrittenConfMarker = "# Written by rtctl launch";

struct ProgramStart {
  std::string label;
  // What is executed: the host's launcher words, the program (its path), "-f" and the
  // rtc.conf written for it unless conf=none, then the program's own arguments.
  std::vector<std::string> argv;
  // Added to (or replacing in) rtctl's own environment.
  std::vector<std::pair<std::string, std::string>> environment;
  std::string workingFolder;  // absolute; created when missing
  std::string confPath;       // the rtc.conf written in the working folder; "" with conf=none
  std::string confText;
  std::string logPath;  // OUT/logs/LABEL.log, appended to at each start
};

struct ProgramStartPlan {
  std::optional<ProgramStart> start;  // empty when there are problems
  // Each "FILE:LINE: LABEL: what is wrong", one for each thing found.
  std::vector<std::string> problems;
};

// The start of one program of the file, with the name server its rtc.conf names. outDir
// holds the logs and the default working folders. Programs on a host with a launcher are not
// looked for on this machine's disk.
ProgramStartPlan planProgramStart(const SystemFile& file, const ProgramEntry& program,
                                  const std::string& nameServer, const std::string& outDir);

// The files the program needs (needs=) that are missing from its working folder: each
// "FILE:LINE: LABEL: needs PATH, which is missing". None for a program on a host with a
// launcher, whose disk is not this machine's.
std::vector<std::string> missingFiles(const SystemFile& file, const ProgramEntry& program,
                                      const std::string& outDir);

// The words that start a program on the host: none for this machine; the host's launcher, its
// first word found in $PATH here, otherwise. Empty first word when the launcher is no program.
std::vector<std::string> launcherOf(const HostEntry& host);

// The program's path: itself when it holds a '/', else the first executable of that name in
// the folders of $PATH; "" when there is none.
std::string findProgram(const std::string& program);

// The rtc.conf launch writes: the marker, the source's text, then the keys launch sets.
std::string composeRtcConf(const std::string& markerDetail, const std::string& sourceText,
                           const std::vector<std::pair<std::string, std::string>>& keys);

}  // namespace rtctl
