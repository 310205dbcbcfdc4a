#include "recording_file.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>

namespace port_data {

namespace {

const char kMagic[8] = {'R', 'T', 'C', 'T', 'L', 'R', 'E', 'C'};
constexpr size_t kHeaderBytes = 16;
constexpr std::uint8_t kStartRecord = 1;
constexpr std::uint8_t kChannelRecord = 2;
constexpr std::uint8_t kSampleRecord = 3;
constexpr std::uint8_t kEndRecord = 4;
constexpr std::uint8_t kDeflated = 1;
constexpr std::uint8_t kFailedCall = 2;
// Samples from this size on are deflated when that makes them smaller (images shrink a lot).
constexpr size_t kDeflateFrom_bytes = 1024;
// Larger records are taken for damage: no sample of a port comes near.
constexpr std::uint32_t kLargestRecord_bytes = 1u << 30;

void putU8(Bytes& out, std::uint8_t value) { out.push_back(value); }
void putU16(Bytes& out, std::uint16_t value) {
  for (int i = 0; i < 2; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
void putU32(Bytes& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
void putU64(Bytes& out, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
void putString(Bytes& out, const std::string& text) {
  putU16(out, static_cast<std::uint16_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}

std::uint32_t crcOf(std::uint8_t kind, const Bytes& body) {
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, &kind, 1);
  crc = crc32(crc, body.data(), static_cast<uInt>(body.size()));
  return static_cast<std::uint32_t>(crc);
}

// Reads the fields of a record body in order; ok() turns false on reading past its end.
class BodyReader {
 public:
  explicit BodyReader(const Bytes& body) : body_(body) {}

  std::uint64_t unsignedOf(size_t size) {
    if (at_ + size > body_.size()) {
      ok_ = false;
      return 0;
    }
    std::uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= std::uint64_t{body_[at_ + i]} << (8 * i);
    at_ += size;
    return value;
  }
  std::uint8_t u8() { return static_cast<std::uint8_t>(unsignedOf(1)); }
  std::uint16_t u16() { return static_cast<std::uint16_t>(unsignedOf(2)); }
  std::uint32_t u32() { return static_cast<std::uint32_t>(unsignedOf(4)); }
  std::uint64_t u64() { return unsignedOf(8); }
  std::string string() {
    size_t length = u16();
    if (at_ + length > body_.size()) {
      ok_ = false;
      return "";
    }
    std::string text(body_.begin() + static_cast<long>(at_),
                     body_.begin() + static_cast<long>(at_ + length));
    at_ += length;
    return text;
  }
  Bytes rest() {
    Bytes bytes(body_.begin() + static_cast<long>(at_), body_.end());
    at_ = body_.size();
    return bytes;
  }
  bool ok() const { return ok_; }

 private:
  const Bytes& body_;
  size_t at_ = 0;
  bool ok_ = true;
};

}  // namespace

Outcome<std::unique_ptr<RecordingWriter>> RecordingWriter::create(const std::string& path,
                                                                  const RecordingStart& start) {
  using Result = Outcome<std::unique_ptr<RecordingWriter>>;
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Result::failure("cannot create " + path + ": " + std::strerror(errno));
  std::unique_ptr<RecordingWriter> writer(new RecordingWriter(fd, path));
  Bytes header(kMagic, kMagic + sizeof kMagic);
  putU32(header, kRecordingVersion);
  putU32(header, 0);
  Bytes body;
  putU64(body, static_cast<std::uint64_t>(start.wallClock_ns));
  putString(body, start.nameServer);
  putString(body, start.writer);
  if (::write(fd, header.data(), header.size()) != static_cast<ssize_t>(header.size()) ||
      !writer->writeRecord(kStartRecord, body)) {
    return Result::failure("cannot write " + path + ": " + std::strerror(errno));
  }
  writer->bytesWritten_ += header.size();
  return Result::success(std::move(writer));
}

RecordingWriter::~RecordingWriter() { ::close(fd_); }

bool RecordingWriter::write(const Channel& channel) {
  Bytes body;
  putU16(body, channel.id);
  putU8(body, static_cast<std::uint8_t>(channel.kind));
  putU8(body, channel.littleEndian ? 0 : 1);
  putString(body, channel.port);
  putString(body, channel.dataType);
  putString(body, channel.interfaceType);
  putString(body, channel.operation);
  putU16(body, static_cast<std::uint16_t>(channel.peers.size()));
  for (const std::string& peer : channel.peers) putString(body, peer);
  return writeRecord(kChannelRecord, body);
}

bool RecordingWriter::write(const Sample& sample) {
  std::uint8_t flags = sample.failedCall ? kFailedCall : 0;
  Bytes deflated;
  if (sample.octets.size() >= kDeflateFrom_bytes) {
    uLongf size = compressBound(static_cast<uLong>(sample.octets.size()));
    deflated.resize(size);
    if (compress2(deflated.data(), &size, sample.octets.data(),
                  static_cast<uLong>(sample.octets.size()), Z_BEST_SPEED) == Z_OK &&
        size < sample.octets.size()) {
      deflated.resize(size);
      flags |= kDeflated;
    }
  }
  const Bytes& octets = (flags & kDeflated) ? deflated : sample.octets;
  Bytes body;
  body.reserve(octets.size() + 16);
  putU16(body, sample.channel);
  putU8(body, flags);
  putU64(body, sample.time_ns);
  putU32(body, static_cast<std::uint32_t>(sample.octets.size()));
  body.insert(body.end(), octets.begin(), octets.end());
  return writeRecord(kSampleRecord, body);
}

bool RecordingWriter::write(const RecordingEnd& end) {
  Bytes body;
  putU64(body, end.time_ns);
  return writeRecord(kEndRecord, body);
}

bool RecordingWriter::writeRecord(std::uint8_t kind, const Bytes& body) {
  if (!error_.empty()) return false;
  Bytes record;
  record.reserve(body.size() + 9);
  putU32(record, static_cast<std::uint32_t>(body.size() + 1));
  putU8(record, kind);
  record.insert(record.end(), body.begin(), body.end());
  putU32(record, crcOf(kind, body));
  size_t done = 0;
  while (done < record.size()) {
    ssize_t written = ::write(fd_, record.data() + done, record.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error_ = "cannot write " + path_ + ": " + std::strerror(errno);
      return false;
    }
    done += static_cast<size_t>(written);
  }
  bytesWritten_ += record.size();
  return true;
}

Outcome<std::unique_ptr<RecordingReader>> RecordingReader::open(const std::string& path) {
  using Result = Outcome<std::unique_ptr<RecordingReader>>;
  std::unique_ptr<RecordingReader> reader(new RecordingReader(path));
  reader->file_.reset(std::fopen(path.c_str(), "rb"));
  if (!reader->file_) return Result::failure("cannot open " + path + ": " + std::strerror(errno));
  unsigned char header[kHeaderBytes];
  size_t read = std::fread(header, 1, sizeof header, reader->file_.get());
  if (read < sizeof kMagic || std::memcmp(header, kMagic, sizeof kMagic) != 0) {
    return Result::failure(path + " is not an rtctl recording");
  }
  if (read < kHeaderBytes) return Result::failure(path + " ends inside its header");
  std::uint32_t version = 0;
  for (int i = 0; i < 4; ++i) version |= std::uint32_t{header[8 + i]} << (8 * i);
  if (version != kRecordingVersion) {
    return Result::failure(path + " is a recording of version " + std::to_string(version) +
                           "; this rtctl reads version " + std::to_string(kRecordingVersion));
  }
  reader->offset_ = kHeaderBytes;
  auto first = reader->nextRecord();
  if (!first || first->first != kStartRecord) {
    return Result::failure(path + " has no start record");
  }
  BodyReader body(first->second);
  reader->start_.wallClock_ns = static_cast<std::int64_t>(body.u64());
  reader->start_.nameServer = body.string();
  reader->start_.writer = body.string();
  if (!body.ok()) return Result::failure(path + " has a damaged start record");
  return Result::success(std::move(reader));
}

std::optional<std::pair<std::uint8_t, Bytes>> RecordingReader::nextRecord() {
  if (ended_) return std::nullopt;
  auto stop = [this](const std::string& why) {
    ended_ = true;
    cutShort_ = why;
    return std::nullopt;
  };
  unsigned char prefix[4];
  size_t read = std::fread(prefix, 1, sizeof prefix, file_.get());
  if (read == 0) {
    ended_ = true;
    return std::nullopt;
  }
  const std::string where = " at byte " + std::to_string(offset_);
  if (read < sizeof prefix) return stop("the file ends inside a record" + where);
  std::uint32_t length = 0;
  for (int i = 0; i < 4; ++i) length |= std::uint32_t{prefix[i]} << (8 * i);
  if (length == 0 || length > kLargestRecord_bytes) return stop("a damaged record" + where);
  Bytes record(length + 4);
  if (std::fread(record.data(), 1, record.size(), file_.get()) != record.size()) {
    return stop("the file ends inside a record" + where);
  }
  std::uint8_t kind = record[0];
  Bytes body(record.begin() + 1, record.end() - 4);
  std::uint32_t crc = 0;
  for (int i = 0; i < 4; ++i) crc |= std::uint32_t{record[length + i]} << (8 * i);
  if (crc != crcOf(kind, body)) return stop("a record with a wrong checksum" + where);
  offset_ += 4 + record.size();
  return std::make_pair(kind, std::move(body));
}

std::optional<Record> RecordingReader::next() {
  while (auto record = nextRecord()) {
    BodyReader body(record->second);
    const std::string where = " at byte " + std::to_string(offset_);
    switch (record->first) {
      case kChannelRecord: {
        Channel channel;
        channel.id = body.u16();
        channel.kind = static_cast<ChannelKind>(body.u8());
        channel.littleEndian = body.u8() == 0;
        channel.port = body.string();
        channel.dataType = body.string();
        channel.interfaceType = body.string();
        channel.operation = body.string();
        std::uint16_t peers = body.u16();
        for (std::uint16_t i = 0; i < peers && body.ok(); ++i)
          channel.peers.push_back(body.string());
        if (!body.ok()) break;
        return Record{std::move(channel)};
      }
      case kSampleRecord: {
        Sample sample;
        sample.channel = body.u16();
        std::uint8_t flags = body.u8();
        sample.time_ns = body.u64();
        std::uint32_t length = body.u32();
        Bytes octets = body.rest();
        if (!body.ok()) break;
        sample.failedCall = (flags & kFailedCall) != 0;
        if (flags & kDeflated) {
          sample.octets.resize(length);
          uLongf size = length;
          if (uncompress(sample.octets.data(), &size, octets.data(),
                         static_cast<uLong>(octets.size())) != Z_OK ||
              size != length) {
            ended_ = true;
            cutShort_ = "a sample that does not inflate" + where;
            return std::nullopt;
          }
        } else {
          sample.octets = std::move(octets);
        }
        return Record{std::move(sample)};
      }
      case kEndRecord:
        return Record{RecordingEnd{body.u64()}};
      default:
        // A kind that a later version added: skipped, as the length allows.
        continue;
    }
    ended_ = true;
    cutShort_ = "a damaged record" + where;
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace port_data
