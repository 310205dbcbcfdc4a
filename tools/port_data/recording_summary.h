#pragma once
// What a recording holds, for `rtctl record --info`: its channels with their types, counts and
// time spans, and whether it was ended cleanly or cut short.
#include <cstdint>
#include <string>
#include <vector>

#include "outcome.h"
#include "recording_file.h"

namespace port_data {

struct ChannelSummary {
  Channel channel;
  std::uint64_t samples = 0;
  std::uint64_t failedCalls = 0;
  std::uint64_t octets = 0;  // of the samples as they travelled (before deflation)
  std::uint64_t first_ns = 0;
  std::uint64_t last_ns = 0;
};

struct RecordingSummary {
  std::string path;
  std::uint64_t fileBytes = 0;
  RecordingStart start;
  std::vector<ChannelSummary> channels;
  std::uint64_t samples = 0;
  std::uint64_t octets = 0;
  std::uint64_t span_ns = 0;
  bool complete = false;  // an end record closes it
  std::string cutShort;   // why the records end early, when they do
};

// Reads the whole file.
Outcome<RecordingSummary> summarizeRecording(const std::string& path);

// For people: a header line and one line a channel.
std::string formatSummary(const RecordingSummary& summary);
// For scripts: one JSON object.
std::string formatSummaryJson(const RecordingSummary& summary);

// "2026-12-08T04:10:02.114Z" for nanoseconds since 1970.
std::string utcText(std::int64_t wallClock_ns);

}  // namespace port_data
