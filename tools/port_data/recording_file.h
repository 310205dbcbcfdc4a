#pragma once
// rtctl's recording file: what flowed through ports, each sample with its arrival time and its
// channel as the CDR octets it travelled as, so that any type can be recorded and written back.
//
// Version 1 (all integers little-endian):
//
//   header   8 bytes "RTCTLREC", u32 version (1), u32 flags (0)
//   record   u32 length of kind + body, u8 kind, body, u32 CRC-32 of kind + body
//
//   kind 1, start:    i64 wall-clock time of the start (ns since 1970), str name server,
//                     str writer ("rtctl 1.1.0")
//   kind 2, channel:  u16 id, u8 channel kind (1 data out-port, 2 service replies),
//                     u8 byte order (0 little-endian, 1 big-endian), str port ("BaseSim0:
//                     robot_pose"; for a service the consumer's port), str data type (the
//                     repository id of the samples or replies), str interface type
//                     ("Zemla::RelativeMapService", empty for data), str operation (empty for
//                     data), u16 peer count, str peers (the in-ports the out-port was connected
//                     to; for a service the provider's port)
//   kind 3, sample:   u16 channel, u8 flags (1 deflated, 2 a call that raised: the body is the
//                     exception's name), u64 ns since the start (steady clock), u32 length
//                     before deflation, the octets
//   kind 4, end:      u64 ns since the start
//
//   str = u16 length and the bytes.
//
// A start record comes first, a channel before its samples, an end record last when the
// recording was ended cleanly. Each record goes to the file with one write, so a recording cut
// short (SIGKILL, a full disk) holds every record but the one being written; a reader stops
// at the first record that is not whole or whose CRC does not match, and says so.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "outcome.h"
#include "sample_value.h"

namespace port_data {

inline constexpr std::uint32_t kRecordingVersion = 1;

struct RecordingStart {
  std::int64_t wallClock_ns = 0;
  std::string nameServer;
  std::string writer;
};

enum class ChannelKind : std::uint8_t { DataPort = 1, ServiceReplies = 2 };

struct Channel {
  std::uint16_t id = 0;
  ChannelKind kind = ChannelKind::DataPort;
  bool littleEndian = true;
  std::string port;
  std::string dataType;
  std::string interfaceType;
  std::string operation;
  std::vector<std::string> peers;
};

struct Sample {
  std::uint16_t channel = 0;
  std::uint64_t time_ns = 0;
  // A service call that raised: octets hold the exception's name.
  bool failedCall = false;
  Bytes octets;
};

struct RecordingEnd {
  std::uint64_t time_ns = 0;
};

using Record = std::variant<RecordingStart, Channel, Sample, RecordingEnd>;

class RecordingWriter {
 public:
  // Creates (or truncates) the file and writes the header and the start record.
  static Outcome<std::unique_ptr<RecordingWriter>> create(const std::string& path,
                                                          const RecordingStart& start);
  ~RecordingWriter();
  RecordingWriter(const RecordingWriter&) = delete;
  RecordingWriter& operator=(const RecordingWriter&) = delete;

  // False after a failed write; error() says why. Nothing is written after a failure.
  bool write(const Channel& channel);
  bool write(const Sample& sample);
  bool write(const RecordingEnd& end);

  std::uint64_t bytesWritten() const { return bytesWritten_; }
  const std::string& error() const { return error_; }

 private:
  RecordingWriter(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  bool writeRecord(std::uint8_t kind, const Bytes& body);

  int fd_;
  std::string path_;
  std::uint64_t bytesWritten_ = 0;
  std::string error_;
};

class RecordingReader {
 public:
  // Opens the file and reads its header and start record.
  static Outcome<std::unique_ptr<RecordingReader>> open(const std::string& path);

  const RecordingStart& start() const { return start_; }
  // The next whole record after the start record; empty at the end of the whole records.
  std::optional<Record> next();
  // After next() came back empty: why the records ended where they did, empty when the file
  // simply ends there ("the file ends inside a record at byte 1234", "CRC mismatch...").
  const std::string& cutShort() const { return cutShort_; }
  std::uint64_t offset() const { return offset_; }

 private:
  explicit RecordingReader(std::string path) : path_(std::move(path)) {}
  std::optional<std::pair<std::uint8_t, Bytes>> nextRecord();

  std::string path_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_{nullptr, std::fclose};
  RecordingStart start_;
  std::string cutShort_;
  std::uint64_t offset_ = 0;
  bool ended_ = false;
};

}  // namespace port_data
