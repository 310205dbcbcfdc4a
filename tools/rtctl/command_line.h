#pragma once
// The command line of rtctl, read with CLI11 into one Invocation without touching the network.
// `rtctl --help` lists the commands, `rtctl COMMAND --help` explains one; anything unknown is a
// usage error (exit 2).
//
//   rtctl [-n host:port] COMMAND ...
//
// The name server comes from -n, else from RTCTL_NAMESERVER, else (for the commands that read
// a system file) from the file's "nameserver" line, else localhost:2809.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rtctl {

inline constexpr const char* kDefaultNameServer = "localhost:2809";
inline constexpr const char* kNameServerVariable = "RTCTL_NAMESERVER";

// "NAME:port": NAME is an instance name or a naming path; the port name follows the last ':'.
struct PortAddress {
  std::string component;
  std::string port;
};

enum class Verb {
  Ls,
  Cat,
  Connect,
  Disconnect,
  Activate,
  Deactivate,
  Reset,
  Exit,
  Conf,
  Inject,
  Print,
  Check,
  Apply,
  Capture,
  Stop,
  Launch,
  Delete,
  Clean,
  Wait,
  Watch,
  Hz,
  Record,
  Replay
};

// How print, inject and hz write or read a sample: the readable line, or JSON.
enum class SampleFormat { Text, Json };

// replay --map OLD=NEW:port.
struct PortMapping {
  std::string recorded;  // "BaseSim0:robot_pose", as the recording names the channel's port
  PortAddress target;
};

// The options of the commands that move port data (print, inject, hz, record, replay).
struct PortDataOptions {
  SampleFormat format = SampleFormat::Text;  // --format
  std::string saveFolder;                    // print --save: each image as PNG
  std::optional<std::string> inputFile;      // inject --file (- standard input)
  std::string imagesFolder;                  // inject --images: the pixels of image lines
  std::optional<double> rate_hz;             // inject --rate
  int window = 1000;                         // hz --window: the latest N gaps
  std::optional<double> duration_s;          // hz, record --duration
  std::string recording;                     // record, replay FILE
  std::vector<PortAddress> services;         // record --service
  bool info = false;                         // record --info
  double replayRate = 1.0;                   // replay --rate
  std::vector<PortMapping> mappings;         // replay --map
  double syncTimeout_s = 30.0;               // replay --sync-timeout
};

// What the commands that read a system file share.
struct SystemFileOptions {
  std::string path;
  // --var NAME=VALUE, in the order given; ${NAME} in the file takes the value.
  std::vector<std::pair<std::string, std::string>> variables;
};

// rtctl launch's own options.
struct LaunchOptions {
  bool respawnAll = false;     // --respawn
  bool exitOnFailure = false;  // --exit-on-failure
  std::string outDir;          // --out: logs and default working folders
  double startTimeout_s = 0;   // --start-timeout
  double answerTimeout_s = 0;  // --answer-timeout
};

struct Invocation {
  std::string nameServer;
  bool nameServerGiven = false;  // by -n or RTCTL_NAMESERVER rather than by default
  Verb verb = Verb::Ls;
  std::vector<std::string> components;  // cat, activate, ..., conf, capture, watch, delete
  std::vector<PortAddress> ports;       // connect, disconnect, inject, print, wait, hz, record
  std::vector<std::pair<std::string, std::string>> properties;  // connect, as given
  std::optional<std::pair<std::string, std::string>> confSet;   // conf NAME set KEY VALUE
  std::string text;                                             // inject TEXT
  std::optional<int> count;                                     // print, inject -n
  std::optional<double> timeout_s;                              // print, wait --timeout
  SystemFileOptions systemFile;                                 // check, apply, stop, launch
  bool fileOnly = false;                                        // check --file-only
  std::string outputFile;                                       // capture -o
  LaunchOptions launch;
  std::string pattern;                                      // wait
  std::optional<std::pair<PortAddress, std::string>> send;  // wait --send NAME:port TEXT
  double interval_s = 0;                                    // watch --interval
  bool force = false;                                       // delete --force
  PortDataOptions portData;
};

// Either an invocation, or the text to print and the status to end with: the help or the
// version on standard output (status 0), or one line naming what is wrong and the usage of
// the command on standard error (status 2).
struct ParsedCommandLine {
  std::optional<Invocation> invocation;
  std::string error;  // one line, without the program name
  std::string usage;  // with error: the usage of the command that was being read
  std::string help;   // without error: what to print on standard output
};

// arguments without the program name; nameServerVariable is the value of RTCTL_NAMESERVER
// (null when unset).
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments,
                                   const char* nameServerVariable);

// "NAME:port" split at the last ':'; empty when either side is empty.
std::optional<PortAddress> parsePortAddress(const std::string& text);

// The list of commands, as `rtctl --help` shows it.
std::string usageText();

}  // namespace rtctl
