// rtctl inject: samples into an in-port, in the form print prints them (or JSON): one TEXT
// from the command line, or one sample a line from a file or standard input through a single
// connection, in order, each taken by the in-port before the next goes.
#include <chrono>
#include <fstream>
#include <iostream>
#include <thread>

#include "port_samples.h"
#include "port_writer.h"
#include "tools/port_data/cdr_codec.h"
#include "tools/port_data/image_files.h"
#include "tools/port_data/json_form.h"
#include "tools/port_data/text_form.h"
#include "verbs.h"

namespace rtctl {

namespace {

using Clock = std::chrono::steady_clock;

class SampleReader {
 public:
  SampleReader(const port_data::TypeDesc& type, const PortDataOptions& request)
      : type_(type), format_(request.format), images_(request.imagesFolder) {
    if (!request.imagesFolder.empty()) {
      findBlock_ = [this](size_t size, std::uint32_t crc) { return images_.pixels(size, crc); };
    }
  }

  // The octets of the sample a line describes, stamped now when it gives no time stamp.
  port_data::Outcome<port_data::Bytes> octetsOf(const std::string& line, bool littleEndian) const {
    auto [sec, nsec] = stampNow();
    port_data::Outcome<port_data::Value> value = port_data::Outcome<port_data::Value>::failure("");
    if (format_ == SampleFormat::Json) {
      value = port_data::parseJson(type_, line, sec, nsec);
    } else {
      port_data::ParseOptions options;
      options.stampSec = sec;
      options.stampNsec = nsec;
      options.findBlock = findBlock_;
      value = port_data::parseLine(type_, line, options);
    }
    if (!value) return port_data::Outcome<port_data::Bytes>::failure(value.error());
    return port_data::Outcome<port_data::Bytes>::success(
        port_data::encodeSample(type_, *value, littleEndian));
  }

 private:
  const port_data::TypeDesc& type_;
  SampleFormat format_;
  port_data::ImageFolder images_;
  std::function<std::optional<port_data::Bytes>(size_t, std::uint32_t)> findBlock_;
};

// Keeps samples rate_hz apart; no pacing without a rate.
class Pacer {
 public:
  explicit Pacer(std::optional<double> rate_hz) : rate_hz_(rate_hz), start_(Clock::now()) {}
  // Waits for the slot of the next sample; false when a stop was requested meanwhile.
  bool waitForSlot() {
    if (!rate_hz_) return !stopRequested;
    const auto due = start_ + std::chrono::duration_cast<Clock::duration>(
                                  std::chrono::duration<double>(sent_++ / *rate_hz_));
    while (!stopRequested && Clock::now() < due) {
      std::this_thread::sleep_for(std::min<Clock::duration>(due - Clock::now(), kStopPoll));
    }
    return !stopRequested;
  }

 private:
  static constexpr std::chrono::milliseconds kStopPoll{50};
  std::optional<double> rate_hz_;
  Clock::time_point start_;
  std::uint64_t sent_ = 0;
};

void stripCarriageReturn(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace

int injectCommand(Session& session, const Invocation& invocation) {
  const PortAddress& address = invocation.ports[0];
  const PortDataOptions& request = invocation.portData;
  const std::string what = "inject " + label(address);
  FoundPort found = findPort(session, address);
  const port_data::TypeDesc& type = sampleTypeOf(found, address, kDataInPort);
  SampleReader reader(type, request);
  Pacer pacer(request.rate_hz);

  if (!request.inputFile) {
    // The sample is checked before anything is connected.
    auto checked = reader.octetsOf(invocation.text, true);
    if (!checked) throw Failure(what + ": " + checked.error());
    InPortWriter writer(session, std::move(found), address, "inject");
    const bool repeat = request.rate_hz.has_value();
    for (int sent = 0; !repeat || !invocation.count || sent < *invocation.count; ++sent) {
      if (!pacer.waitForSlot()) break;
      if (!writer.write(reader.octetsOf(invocation.text, writer.littleEndian()).value())) break;
      if (!repeat) break;
    }
    return 0;
  }

  std::vector<std::pair<int, std::string>> fileLines;
  const std::string& fileName = *request.inputFile;
  const bool fromFile = fileName != "-";
  if (fromFile) {
    // A file is checked whole before its first sample goes, so it is never half-written.
    std::ifstream file(fileName);
    if (!file) throw Failure(what + ": cannot read " + fileName);
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
      stripCarriageReturn(line);
      if (line.empty()) continue;
      auto checked = reader.octetsOf(line, true);
      if (!checked) throw Failure(fileName + ":" + std::to_string(number) + ": " + checked.error());
      fileLines.emplace_back(number, line);
    }
  }
  InPortWriter writer(session, std::move(found), address, "inject");
  const std::string source = fromFile ? fileName : "standard input";
  std::uint64_t written = 0;
  auto writeLine = [&](const std::string& line, int number) {
    auto octets = reader.octetsOf(line, writer.littleEndian());
    if (!octets) {
      throw Failure(source + ":" + std::to_string(number) + ": " + octets.error() + " (" +
                    std::to_string(written) + " samples written before it)");
    }
    if (!pacer.waitForSlot() || !writer.write(*octets)) return false;
    ++written;
    return true;
  };
  if (fromFile) {
    for (const auto& [number, text] : fileLines) {
      if (!writeLine(text, number)) break;
    }
    return 0;
  }
  std::string line;
  for (int number = 1; !stopRequested && std::getline(std::cin, line); ++number) {
    stripCarriageReturn(line);
    if (line.empty()) continue;
    if (!writeLine(line, number)) break;
  }
  return 0;
}

}  // namespace rtctl
