// rtctl record: what out-ports write (and the replies a service gives) into a recording file,
// each sample with its arrival time and its channel, as the octets it travelled as; until
// --duration, Ctrl-C or SIGTERM, which leave the file complete. record --info shows what a
// recording holds.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "port_tap.h"
#include "project_version.h"
#include "provided_service.h"
#include "relative_map_service.h"
#include "tools/port_data/recording_file.h"
#include "tools/port_data/recording_summary.h"
#include "verbs.h"

namespace rtctl {

namespace {

using Clock = std::chrono::steady_clock;

// Samples waiting for the disk beyond this many bytes are dropped (and counted): a recording
// must not take the machine's memory when the disk cannot keep up.
constexpr std::uint64_t kLargestBacklog_bytes = std::uint64_t{512} << 20;
constexpr std::chrono::milliseconds kStopPoll{100};
constexpr double kBytesPerMegabyte = 1e6;

// Samples handed from the ORB's threads to the thread that writes the file, in arrival order.
// Shared with the servants' callbacks, which may still be running a moment after the
// connections are gone; pushes after finish() are dropped.
class RecordingQueue {
 public:
  explicit RecordingQueue(port_data::RecordingWriter& writer)
      : writer_(writer), thread_([this] { run(); }) {}
  ~RecordingQueue() { finish(); }

  void push(port_data::Sample sample) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (finished_) return;
    if (backlog_bytes_ + sample.octets.size() > kLargestBacklog_bytes || failed_) {
      ++dropped_;
      return;
    }
    backlog_bytes_ += sample.octets.size();
    samples_.push_back(std::move(sample));
    ++count_;
    ready_.notify_one();
  }

  // Writes what is left and ends the writing thread.
  void finish() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      finished_ = true;
      ready_.notify_one();
    }
    if (thread_.joinable()) thread_.join();
  }

  std::uint64_t count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_;
  }
  std::uint64_t dropped() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
  }

 private:
  void run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
      ready_.wait(lock, [this] { return finished_ || !samples_.empty(); });
      if (samples_.empty()) return;
      port_data::Sample sample = std::move(samples_.front());
      samples_.pop_front();
      backlog_bytes_ -= sample.octets.size();
      lock.unlock();
      const bool written = writer_.write(sample);
      lock.lock();
      failed_ = failed_ || !written;
    }
  }

  port_data::RecordingWriter& writer_;
  mutable std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<port_data::Sample> samples_;
  std::uint64_t backlog_bytes_ = 0;
  std::uint64_t count_ = 0;
  std::uint64_t dropped_ = 0;
  bool finished_ = false;
  bool failed_ = false;
  std::thread thread_;
};

std::uint64_t nanosecondsSince(Clock::time_point start) {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count());
}

// The in-ports an out-port is connected to, leaving out rtctl's own.
std::vector<std::string> peersOf(const FoundPort& found) {
  std::vector<std::string> peers;
  for (const ConnectorInfo& connector : found.info.connectors) {
    for (const std::string& name : connector.portNames) {
      if (name != found.info.name && name.rfind("rtctl.", 0) != 0) {
        peers.push_back(addressOfPortName(name));
      }
    }
  }
  return peers;
}

int showInfo(const PortDataOptions& request) {
  auto summary = port_data::summarizeRecording(request.recording);
  if (!summary) throw Failure("record --info: " + summary.error());
  if (request.format == SampleFormat::Json) {
    std::cout << port_data::formatSummaryJson(*summary) << std::endl;
  } else {
    std::cout << port_data::formatSummary(*summary);
  }
  return 0;
}

// One recorded service: rtctl's stand-in and the channels of its operations.
struct RecordedService {
  std::unique_ptr<ProvidedService> connection;
  std::string label;
};

}  // namespace

int recordCommand(Session& session, const Invocation& invocation) {
  const PortDataOptions& request = invocation.portData;
  if (request.info) return showInfo(request);
  const std::string what = "record " + request.recording;

  // Everything is found before anything is connected or the file is touched.
  std::vector<FoundPort> ports;
  std::vector<port_data::Channel> channels;
  for (const PortAddress& address : invocation.ports) {
    FoundPort found = findPort(session, address);
    requirePortType(found, address, kDataOutPort);
    port_data::Channel channel;
    channel.id = static_cast<std::uint16_t>(channels.size());
    channel.port = label(address);
    channel.dataType = property(found.info, kDataTypeKey);
    channel.peers = peersOf(found);
    channels.push_back(channel);
    ports.push_back(std::move(found));
  }
  struct ServicePlan {
    FoundPort consumer;
    RequiredInterface interface;
    Zemla::RelativeMapService_var provider;
    std::uint16_t firstChannel;
  };
  std::vector<ServicePlan> services;
  for (const PortAddress& address : request.services) {
    FoundPort consumer = findPort(session, address);
    RequiredInterface interface = requiredInterface(consumer, address, kRelativeMapService);
    std::string providerPort;
    CORBA::Object_var object = currentProvider(session, consumer, interface, providerPort);
    ServicePlan plan{std::move(consumer), interface, Zemla::RelativeMapService::_nil(),
                     static_cast<std::uint16_t>(channels.size())};
    try {
      plan.provider = Zemla::RelativeMapService::_narrow(object);
    } catch (const CORBA::Exception& error) {
      throw Failure(Session::explain("the provider of " + label(address), error));
    }
    for (const ServiceOperation& operation : relativeMapOperations()) {
      port_data::Channel channel;
      channel.id = static_cast<std::uint16_t>(channels.size());
      channel.kind = port_data::ChannelKind::ServiceReplies;
      channel.port = label(address);
      channel.dataType = operation.resultType;
      channel.interfaceType = interface.typeName;
      channel.operation = operation.name;
      if (!providerPort.empty()) channel.peers = {providerPort};
      channels.push_back(channel);
    }
    services.push_back(std::move(plan));
  }

  auto created = port_data::RecordingWriter::create(
      request.recording,
      {static_cast<std::int64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count()),
       session.nameServer(), std::string("rtctl ") + kProjectVersion});
  if (!created) throw Failure(what + ": " + created.error());
  port_data::RecordingWriter& writer = *created.value();
  for (const port_data::Channel& channel : channels) writer.write(channel);
  const Clock::time_point start = Clock::now();
  auto queue = std::make_shared<RecordingQueue>(writer);

  std::vector<std::unique_ptr<OutPortTap>> taps;
  for (size_t i = 0; i < ports.size(); ++i) {
    const auto id = static_cast<std::uint16_t>(i);
    taps.push_back(std::make_unique<OutPortTap>(
        session, std::move(ports[i]), invocation.ports[i], "record",
        [queue, start, id](const OpenRTM::CdrData& data) {
          port_data::Sample sample;
          sample.channel = id;
          sample.time_ns = nanosecondsSince(start);
          sample.octets.assign(data.get_buffer(), data.get_buffer() + data.length());
          queue->push(std::move(sample));
          return OpenRTM::PORT_OK;
        }));
  }
  std::vector<RecordedService> standIns;
  for (size_t i = 0; i < services.size(); ++i) {
    ServicePlan& plan = services[i];
    const std::uint16_t firstChannel = plan.firstChannel;
    auto record = [queue, start, firstChannel](size_t operation, const ServiceReply& reply) {
      port_data::Sample sample;
      sample.channel = static_cast<std::uint16_t>(firstChannel + operation);
      sample.time_ns = nanosecondsSince(start);
      sample.failedCall = reply.failed;
      sample.octets = reply.octets;
      queue->push(std::move(sample));
    };
    Zemla::RelativeMapService_var standIn = activateServant<Zemla::RelativeMapService>(
        session, new RecordingMapService(plan.provider, record));
    standIns.push_back(
        {std::make_unique<ProvidedService>(session, std::move(plan.consumer), request.services[i],
                                           "record", plan.interface, standIn, true),
         label(request.services[i])});
  }
  std::string names;
  for (const auto& channel : channels) {
    if (channel.kind == port_data::ChannelKind::DataPort) names += " " + channel.port;
  }
  for (const auto& service : standIns) names += " " + service.label + " (replies)";
  std::cout << "recording into " << request.recording << ":" << names << std::endl;

  const auto end = request.duration_s
                       ? start + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(*request.duration_s))
                       : Clock::time_point::max();
  std::vector<bool> lost(taps.size(), false);
  auto nextCheck = start;
  while (!stopRequested && Clock::now() < end && writer.error().empty()) {
    std::this_thread::sleep_for(kStopPoll);
    if (Clock::now() < nextCheck) continue;
    nextCheck = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                   std::chrono::duration<double>(kLivenessCheck_s));
    for (size_t i = 0; i < taps.size(); ++i) {
      if (lost[i]) continue;
      std::string why = taps[i]->lost();
      if (why.empty()) continue;
      lost[i] = true;
      std::cerr << "rtctl: " << what << ": " << taps[i]->label() << ": " << why
                << "; recording the others" << std::endl;
    }
  }

  // The consumers get their own providers back first, then the taps go.
  for (auto& service : standIns) {
    for (const std::string& failure : service.connection->restore()) {
      std::cerr << "rtctl: " << what << ": " << failure << std::endl;
    }
  }
  for (auto& tap : taps) tap->disconnect();
  queue->finish();
  const std::uint64_t span_ns = nanosecondsSince(start);
  writer.write(port_data::RecordingEnd{span_ns});
  if (!writer.error().empty()) {
    throw Failure(what + ": " + writer.error() + "; the file holds what came before");
  }
  if (queue->dropped() > 0) {
    std::cerr << "rtctl: " << what << ": " << queue->dropped()
              << " samples were dropped: the disk could not keep up" << std::endl;
  }
  char figures[64];
  std::snprintf(figures, sizeof figures, "%.3f s, %.1f MB",
                std::chrono::duration<double>(std::chrono::nanoseconds(span_ns)).count(),
                writer.bytesWritten() / kBytesPerMegabyte);
  std::cout << request.recording << ": " << queue->count() << " samples in " << figures
            << std::endl;
  return 0;
}

}  // namespace rtctl
