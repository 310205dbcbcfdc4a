#include "recording_summary.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <nlohmann/json.hpp>

namespace port_data {

namespace {

constexpr double kSecondsPerNanosecond = 1e-9;
constexpr double kMegabytesPerByte = 1e-6;
constexpr std::int64_t kNanosecondsPerSecond = 1000000000;
constexpr std::int64_t kNanosecondsPerMillisecond = 1000000;

std::string seconds(std::uint64_t ns) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", ns * kSecondsPerNanosecond);
  return text;
}

std::string megabytes(std::uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", bytes * kMegabytesPerByte);
  return text;
}

std::string channelName(const Channel& channel) {
  return channel.kind == ChannelKind::ServiceReplies ? channel.port + "." + channel.operation
                                                     : channel.port;
}

}  // namespace

std::string utcText(std::int64_t wallClock_ns) {
  std::time_t sec = static_cast<std::time_t>(wallClock_ns / kNanosecondsPerSecond);
  int ms = static_cast<int>(wallClock_ns % kNanosecondsPerSecond / kNanosecondsPerMillisecond);
  std::tm utc{};
  gmtime_r(&sec, &utc);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, ms);
  return text;
}

Outcome<RecordingSummary> summarizeRecording(const std::string& path) {
  auto opened = RecordingReader::open(path);
  if (!opened) return Outcome<RecordingSummary>::failure(opened.error());
  RecordingReader& reader = *opened.value();
  RecordingSummary summary;
  summary.path = path;
  std::error_code error;
  summary.fileBytes = std::filesystem::file_size(path, error);
  summary.start = reader.start();
  std::vector<int> indexOf;
  while (auto record = reader.next()) {
    if (auto* channel = std::get_if<Channel>(&*record)) {
      if (indexOf.size() <= channel->id) indexOf.resize(channel->id + 1, -1);
      indexOf[channel->id] = static_cast<int>(summary.channels.size());
      summary.channels.push_back({*channel});
    } else if (auto* sample = std::get_if<Sample>(&*record)) {
      if (sample->channel >= indexOf.size() || indexOf[sample->channel] < 0) continue;
      ChannelSummary& channel = summary.channels[indexOf[sample->channel]];
      if (channel.samples + channel.failedCalls == 0) channel.first_ns = sample->time_ns;
      channel.last_ns = sample->time_ns;
      (sample->failedCall ? channel.failedCalls : channel.samples) += 1;
      channel.octets += sample->failedCall ? 0 : sample->octets.size();
      summary.samples += 1;
      summary.octets += sample->failedCall ? 0 : sample->octets.size();
      summary.span_ns = std::max(summary.span_ns, sample->time_ns);
    } else if (auto* end = std::get_if<RecordingEnd>(&*record)) {
      summary.complete = true;
      summary.span_ns = std::max(summary.span_ns, end->time_ns);
    }
  }
  summary.cutShort = reader.cutShort();
  return Outcome<RecordingSummary>::success(std::move(summary));
}

std::string formatSummary(const RecordingSummary& summary) {
  std::string text = summary.path + ": rtctl recording version " +
                     std::to_string(kRecordingVersion) + ", " + std::to_string(summary.fileBytes) +
                     " bytes\n";
  text += "  started " + utcText(summary.start.wallClock_ns) + " by " + summary.start.writer +
          " (name server " + summary.start.nameServer + ")\n";
  text += "  " + std::to_string(summary.samples) + " samples (" + megabytes(summary.octets) +
          " as they travelled) in " + seconds(summary.span_ns) + ", " +
          (summary.complete           ? std::string("ended cleanly")
           : summary.cutShort.empty() ? std::string("not ended: still being recorded, or cut short")
                                      : "cut short: " + summary.cutShort) +
          "\n";
  for (const ChannelSummary& channel : summary.channels) {
    text += "  " + channelName(channel.channel) + "  " + channel.channel.dataType + "  " +
            std::to_string(channel.samples) +
            (channel.channel.kind == ChannelKind::ServiceReplies ? " replies" : " samples");
    if (channel.failedCalls) text += ", " + std::to_string(channel.failedCalls) + " failed calls";
    if (channel.samples + channel.failedCalls) {
      text += ", " + seconds(channel.first_ns) + " to " + seconds(channel.last_ns);
    }
    if (!channel.channel.peers.empty()) {
      std::string peers;
      for (const std::string& peer : channel.channel.peers)
        peers += (peers.empty() ? "" : ", ") + peer;
      text +=
          (channel.channel.kind == ChannelKind::ServiceReplies ? ", served by " : ", to ") + peers;
    }
    text += "\n";
  }
  return text;
}

std::string formatSummaryJson(const RecordingSummary& summary) {
  nlohmann::ordered_json json;
  json["path"] = summary.path;
  json["version"] = kRecordingVersion;
  json["bytes"] = summary.fileBytes;
  json["started"] = utcText(summary.start.wallClock_ns);
  json["writer"] = summary.start.writer;
  json["name_server"] = summary.start.nameServer;
  json["samples"] = summary.samples;
  json["octets"] = summary.octets;
  json["span_s"] = summary.span_ns * kSecondsPerNanosecond;
  json["complete"] = summary.complete;
  if (!summary.cutShort.empty()) json["cut_short"] = summary.cutShort;
  json["channels"] = nlohmann::ordered_json::array();
  for (const ChannelSummary& channel : summary.channels) {
    nlohmann::ordered_json entry;
    entry["port"] = channel.channel.port;
    if (channel.channel.kind == ChannelKind::ServiceReplies) {
      entry["interface"] = channel.channel.interfaceType;
      entry["operation"] = channel.channel.operation;
    }
    entry["data_type"] = channel.channel.dataType;
    entry["samples"] = channel.samples;
    entry["octets"] = channel.octets;
    if (channel.failedCalls) entry["failed_calls"] = channel.failedCalls;
    entry["first_s"] = channel.first_ns * kSecondsPerNanosecond;
    entry["last_s"] = channel.last_ns * kSecondsPerNanosecond;
    entry["peers"] = channel.channel.peers;
    json["channels"].push_back(entry);
  }
  return json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace port_data
