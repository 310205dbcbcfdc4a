#pragma once
// A system file: the one description of a system. Which programs run on which host, in which
// working folder, with which rtc.conf and arguments; then the connections, configuration
// values and activations that make their components one system, applied in file order. The
// format is documented in scripts/system/README.md. Plain text work: reading a file checks its
// form only, not the disk and not the live system.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "command_line.h"
#include "line_words.h"

namespace rtctl {

// The host every program runs on unless the file says otherwise: this machine.
inline constexpr const char* kLocalHost = "local";
inline constexpr const char* kLocalAddress = "127.0.0.1";

// Where a line stands, for messages: "demo.system:12".
struct FilePlace {
  std::string file;
  int line = 0;
  std::string text() const { return file + ":" + std::to_string(line); }
};

struct HostEntry {
  std::string name;
  // The address its programs' endpoints listen on and the others reach them at.
  std::string address;
  // The command words that run a program there ("ssh robot-pc", "ip netns exec robot"), put
  // before the program's own; empty: run it here.
  std::vector<std::string> launcher;
  bool declared = false;  // written in the file (the built-in "local" is not)
  FilePlace place;
};

struct ProgramEntry {
  std::string label;  // names its log file and its lines
  std::string host = kLocalHost;
  // Absolute, or empty for a folder of rtctl launch's own (OUT/run/LABEL).
  std::string workingFolder;
  // The rtc.conf the program's own rtc.conf is made from (absolute); empty: none.
  std::string confSource;
  // False with conf=none: the program is not a component program; no rtc.conf, no -f.
  bool writesConf = true;
  // set=KEY:VALUE: lines added to its rtc.conf ("exec_cxt.periodic.rate", "10").
  std::vector<std::pair<std::string, std::string>> confValues;
  std::vector<std::string> components;   // the instance names it registers
  std::vector<std::string> neededFiles;  // relative to the working folder, or absolute
  // env=NAME=VALUE: added to (or replacing in) the environment rtctl passes on.
  std::vector<std::pair<std::string, std::string>> environment;
  bool optional = false;             // its end is a warning, not a failure
  bool respawn = false;              // started again when it ends
  std::vector<std::string> command;  // the program (a path, or a name found in PATH) and
                                     // its arguments
  FilePlace place;
};

enum class ActionKind { Connect, Disconnect, Conf, Activate, Deactivate };

struct Action {
  ActionKind kind = ActionKind::Activate;
  std::vector<PortAddress> ports;                               // connect, disconnect
  std::vector<std::pair<std::string, std::string>> properties;  // connect
  std::string component;                                        // conf, (de)activate
  std::string key;                                              // conf
  std::string value;                                            // conf
  FilePlace place;

  // The components the line touches, in the order written.
  std::vector<std::string> componentNames() const;
  // The line as it would be written: "connect A:out B:in subscription_type=new".
  std::string text() const;
};

struct SystemFile {
  std::string path;  // as given, for messages
  // "nameserver HOST:PORT": the address, used when rtctl is given none.
  std::optional<std::string> nameServer;
  // "nameserver ... start": rtctl launch starts omniNames itself.
  bool startNameServer = false;
  FilePlace nameServerPlace;
  std::vector<HostEntry> hosts;  // "local" always among them
  std::vector<ProgramEntry> programs;
  std::vector<Action> actions;

  const HostEntry& host(const std::string& name) const;
  // The program that hosts the component, or null.
  const ProgramEntry* programOf(const std::string& component) const;
  // Every component the file names (programs' and lines'), each once, in order of mention.
  std::vector<std::string> componentNames() const;
};

struct SystemFileRead {
  std::optional<SystemFile> file;
  std::string error;  // "FILE:LINE: what is wrong"
};

// Reads a system file's text. path names it in messages; relative paths in it are taken from
// folder. ${NAME} takes its value from variables.
SystemFileRead parseSystemFile(const std::string& text, const std::string& path,
                               const std::string& folder, const VariableLookup& variables);

// Reads the file at path (relative paths in it are taken from its own folder), its
// variables from `given` first and then from the environment.
SystemFileRead readSystemFile(const std::string& path,
                              const std::vector<std::pair<std::string, std::string>>& given);

}  // namespace rtctl
