#pragma once
// The command lines of the port-data verbs, parsed into one request each without touching
// the network:
//
//   print NAME:port [-n COUNT] [--timeout S] [--format text|json] [--save DIR]
//   inject NAME:port [TEXT] [--file FILE] [--format text|json] [--rate HZ] [-n COUNT]
//          [--images DIR]
//   hz NAME:port [--window N] [--duration S] [--format text|json]
//   record FILE NAME:port... [--service NAME:port]... [--duration S]
//   record --info FILE [--format text|json]
//   replay FILE [--rate X] [--map OLD=NEW:port]... [--sync-timeout S]
#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "command_line.h"

namespace rtctl {

enum class SampleFormat { Text, Json };

struct PrintRequest {
  PortAddress port;
  std::optional<int> count;
  std::optional<double> timeout_s;
  SampleFormat format = SampleFormat::Text;
  // Where each image is written as PNG; empty: nowhere.
  std::string saveFolder;
};

struct InjectRequest {
  PortAddress port;
  // One sample given on the command line; else lines from `file` ("-" standard input).
  std::optional<std::string> text;
  std::string file = "-";
  SampleFormat format = SampleFormat::Text;
  // Pace of the samples; with one TEXT, the sample is written again at this rate.
  std::optional<double> rate_hz;
  // With one TEXT and a rate: how many times (until Ctrl-C when not given).
  std::optional<int> count;
  // Where the pixels of summarised images are (as print --save wrote them).
  std::string imagesFolder;
};

struct HzRequest {
  PortAddress port;
  int window = 1000;
  std::optional<double> duration_s;
  SampleFormat format = SampleFormat::Text;
};

struct RecordRequest {
  std::string file;
  std::vector<PortAddress> ports;
  std::vector<PortAddress> services;
  std::optional<double> duration_s;
  // record --info FILE: what the recording holds.
  bool info = false;
  SampleFormat format = SampleFormat::Text;
};

struct PortMapping {
  std::string recorded;  // "BaseSim0:robot_pose", as the recording names the channel's port
  PortAddress target;
};

struct ReplayRequest {
  std::string file;
  double rate = 1.0;
  std::vector<PortMapping> mappings;
  // How long the replay waits for a component it replays into to do what the recording has.
  double syncTimeout_s = 30.0;
};

using PortDataRequest = std::variant<std::monostate, PrintRequest, InjectRequest, HzRequest,
                                     RecordRequest, ReplayRequest>;

// Each verb's options, declared on a CLI11 command and stored into the request as they are
// parsed (port addresses and formats checked on the way).
void addPrintOptions(CLI::App& command, PrintRequest& request);
void addInjectOptions(CLI::App& command, InjectRequest& request);
void addHzOptions(CLI::App& command, HzRequest& request);
void addRecordOptions(CLI::App& command, RecordRequest& request);
void addReplayOptions(CLI::App& command, ReplayRequest& request);

// print, inject, hz, record, replay.
bool isPortDataVerb(Verb verb);

// The request for a port-data verb's arguments (the words after the verb). error says what is
// wrong; help holds the verb's help text when --help was asked for.
struct ParsedPortDataRequest {
  PortDataRequest request;
  std::string error;
  std::string help;
};
ParsedPortDataRequest parsePortDataRequest(Verb verb, const std::vector<std::string>& arguments);

}  // namespace rtctl
