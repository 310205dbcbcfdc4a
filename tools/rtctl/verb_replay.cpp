// rtctl replay: a recording written back into in-ports at the recorded pace (or --rate times
// it). Channels whose component is running are followed instead of written: the replay waits
// for their samples where the recording has them and compares them; recorded service replies
// are answered to the consumer that calls. So a planner replayed into alone gets its map,
// odometry and words exactly where it got them, and the end of the replay says whether it
// answered as it did.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>

#include "port_tap.h"
#include "port_writer.h"
#include "provided_service.h"
#include "relative_map_service.h"
#include "time_text.h"
#include "tools/port_data/cdr_codec.h"
#include "tools/port_data/recording_summary.h"
#include "tools/port_data/replay_plan.h"
#include "tools/port_data/text_form.h"
#include "verbs.h"

namespace rtctl {

namespace {

using Clock = std::chrono::steady_clock;
using port_data::ChannelRole;

constexpr std::chrono::milliseconds kStopPoll{100};
constexpr double kSecondsPerNanosecond = 1e-9;

// The checksum of a sample's value: decoded and written again when its type is known, so that
// the padding octets (which a writer may leave as they were in its buffer) do not count.
std::uint32_t valueChecksum(const port_data::TypeDesc* type, const port_data::Bytes& octets,
                            bool littleEndian) {
  if (type) {
    auto value = port_data::decodeSample(*type, octets, littleEndian);
    if (value) return port_data::crc32Of(port_data::encodeSample(*type, *value));
  }
  return port_data::crc32Of(octets);
}

// What the replay and the components it replays into have done, shared between the replay's
// loop, the taps on the followed out-ports and the answering service (all under `mutex`).
struct ReplayState : port_data::TargetActivity {
  ReplayState(std::map<std::uint16_t, ChannelRole> roles, double rate, double syncTimeout_s)
      : plan(std::move(roles), rate, 0.0), syncTimeout_s(syncTimeout_s) {}

  double now_s() const { return std::chrono::duration<double>(Clock::now() - start).count(); }
  std::uint64_t count(std::uint16_t channel) const override {
    auto found = times.find(channel);
    return found == times.end() ? 0 : found->second.size();
  }
  double timeOf(std::uint16_t channel, std::uint64_t index) const override {
    return times.at(channel).at(index);
  }
  // A followed sample or a call of the target, now.
  void seen(std::uint16_t channel) {
    times[channel].push_back(now_s());
    changed.notify_all();
  }

  std::mutex mutex;
  std::condition_variable changed;
  const Clock::time_point start = Clock::now();
  port_data::ReplayPlan plan;
  const double syncTimeout_s;
  std::map<std::uint16_t, std::vector<double>> times;
  std::map<std::uint16_t, std::vector<std::uint32_t>> liveChecksums;
  std::map<std::uint16_t, std::vector<std::uint32_t>> recordedChecksums;
  std::map<std::uint16_t, std::vector<ServiceReply>> replies;
  bool finished = false;
};

struct ChannelPlan {
  port_data::Channel channel;
  std::uint64_t recorded = 0;
  ChannelRole role = ChannelRole::Ignore;
  std::vector<PortAddress> targets;  // Write: in-ports; Serve: the consumer port
  std::string note;                  // why it is left out
};

std::string channelLabel(const port_data::Channel& channel) {
  return channel.kind == port_data::ChannelKind::ServiceReplies
             ? channel.port + "." + channel.operation
             : channel.port;
}

bool isRunning(Session& session, const std::string& component) {
  try {
    session.findComponent(component);
    return true;
  } catch (const Failure&) {
    return false;
  }
}

std::vector<ChannelPlan> planChannels(Session& session, const port_data::RecordingSummary& summary,
                                      const PortDataOptions& request) {
  std::vector<ChannelPlan> plans;
  std::map<std::string, bool> running;
  auto runningNow = [&](const std::string& component) {
    auto known = running.find(component);
    if (known != running.end()) return known->second;
    return running[component] = isRunning(session, component);
  };
  for (const port_data::ChannelSummary& recorded : summary.channels) {
    ChannelPlan plan;
    plan.channel = recorded.channel;
    plan.recorded = recorded.samples;
    const port_data::Channel& channel = plan.channel;
    const std::string owner =
        parsePortAddress(channel.port) ? parsePortAddress(channel.port)->component : "";
    std::optional<PortAddress> mapped;
    for (const PortMapping& mapping : request.mappings) {
      if (mapping.recorded == channel.port) mapped = mapping.target;
    }
    if (channel.kind == port_data::ChannelKind::ServiceReplies) {
      PortAddress consumer = mapped ? *mapped : *parsePortAddress(channel.port);
      if (channel.interfaceType.find(kRelativeMapService) == std::string::npos) {
        plan.note = "replies of " + channel.interfaceType + " cannot be answered by rtctl";
      } else if (!runningNow(consumer.component)) {
        plan.note = consumer.component + " is not running";
      } else {
        plan.role = ChannelRole::Serve;
        plan.targets = {consumer};
      }
    } else if (mapped) {
      plan.role = ChannelRole::Write;
      plan.targets = {*mapped};
    } else if (runningNow(owner)) {
      plan.role = ChannelRole::Follow;
    } else {
      for (const std::string& peer : channel.peers) {
        auto address = parsePortAddress(peer);
        if (address && runningNow(address->component)) plan.targets.push_back(*address);
      }
      plan.role = plan.targets.empty() ? ChannelRole::Ignore : ChannelRole::Write;
      if (plan.targets.empty()) {
        plan.note = channel.peers.empty() ? "it was connected to no in-port (use --map)"
                                          : "none of the in-ports it was connected to is running";
      }
    }
    plans.push_back(std::move(plan));
  }
  return plans;
}

std::string describePlan(const ChannelPlan& plan) {
  std::string text = "  " + channelLabel(plan.channel) + ": ";
  switch (plan.role) {
    case ChannelRole::Write: {
      std::string targets;
      for (const auto& target : plan.targets)
        targets += (targets.empty() ? "" : ", ") + label(target);
      return text + std::to_string(plan.recorded) + " samples into " + targets;
    }
    case ChannelRole::Follow:
      return text + "running: its samples are awaited and compared";
    case ChannelRole::Serve:
      return text + std::to_string(plan.recorded) + " replies answered to " +
             label(plan.targets[0]);
    case ChannelRole::Ignore:
      break;
  }
  return text + "left out: " + plan.note;
}

}  // namespace

int replayCommand(Session& session, const Invocation& invocation) {
  const PortDataOptions& request = invocation.portData;
  const std::string what = "replay " + request.recording;
  auto summary = port_data::summarizeRecording(request.recording);
  if (!summary) throw Failure(what + ": " + summary.error());
  std::vector<ChannelPlan> plans = planChannels(session, *summary, request);
  for (const PortMapping& mapping : request.mappings) {
    bool known = false;
    for (const ChannelPlan& plan : plans) known = known || plan.channel.port == mapping.recorded;
    if (!known) throw Failure(what + ": the recording has no port " + mapping.recorded);
  }
  std::map<std::uint16_t, ChannelRole> roles;
  for (const ChannelPlan& plan : plans) roles[plan.channel.id] = plan.role;
  auto state = std::make_shared<ReplayState>(roles, request.replayRate, request.syncTimeout_s);

  // Connections: writers into the in-ports, taps on the followed out-ports, the service.
  std::map<std::uint16_t, std::vector<std::unique_ptr<InPortWriter>>> writers;
  std::vector<std::unique_ptr<OutPortTap>> taps;
  std::map<std::string, std::map<size_t, std::uint16_t>> servedOperations;
  for (const ChannelPlan& plan : plans) {
    const std::uint16_t id = plan.channel.id;
    if (plan.role == ChannelRole::Write) {
      for (const PortAddress& target : plan.targets) {
        writers[id].push_back(std::make_unique<InPortWriter>(
            session, findPort(session, target), target, "replay", plan.channel.littleEndian));
      }
    } else if (plan.role == ChannelRole::Follow) {
      const PortAddress address = *parsePortAddress(plan.channel.port);
      const port_data::TypeDesc* type = port_data::findType(plan.channel.dataType);
      // A tap asks for little-endian samples, and the middleware's ports agree to that.
      taps.push_back(std::make_unique<OutPortTap>(
          session, findPort(session, address), address, "replay",
          [state, id, type](const OpenRTM::CdrData& data) {
            const port_data::Bytes octets(data.get_buffer(), data.get_buffer() + data.length());
            const std::uint32_t checksum = valueChecksum(type, octets, true);
            std::lock_guard<std::mutex> lock(state->mutex);
            state->liveChecksums[id].push_back(checksum);
            state->seen(id);
            return OpenRTM::PORT_OK;
          }));
    } else if (plan.role == ChannelRole::Serve) {
      const auto& operations = relativeMapOperations();
      for (size_t o = 0; o < operations.size(); ++o) {
        if (plan.channel.operation == operations[o].name) {
          servedOperations[label(plan.targets[0])][o] = id;
        }
      }
    }
  }
  std::vector<std::unique_ptr<ProvidedService>> services;
  for (const auto& [consumerLabel, operations] : servedOperations) {
    const PortAddress consumer = *parsePortAddress(consumerLabel);
    FoundPort found = findPort(session, consumer);
    RequiredInterface interface = requiredInterface(found, consumer, kRelativeMapService);
    auto next = [state, operations = operations](size_t operation) -> std::optional<ServiceReply> {
      auto channel = operations.find(operation);
      if (channel == operations.end()) return std::nullopt;
      const std::uint16_t id = channel->second;
      std::unique_lock<std::mutex> lock(state->mutex);
      const std::uint64_t index = state->count(id);
      state->seen(id);
      // Answered once the replay has written everything recorded before this call.
      state->changed.wait_for(lock, std::chrono::duration<double>(state->syncTimeout_s),
                              [&] { return state->finished || state->plan.expected(id) > index; });
      auto& replies = state->replies[id];
      if (index >= replies.size()) return std::nullopt;
      return std::move(replies[index]);
    };
    Zemla::RelativeMapService_var servant =
        activateServant<Zemla::RelativeMapService>(session, new ReplayMapService(next));
    services.push_back(std::make_unique<ProvidedService>(session, std::move(found), consumer,
                                                         "replay", interface, servant, false));
  }

  std::cout << "replaying " << request.recording << ": " << summary->samples << " samples over "
            << secondsText(summary->span_ns * kSecondsPerNanosecond) << " at rate "
            << request.replayRate << std::endl;
  for (const ChannelPlan& plan : plans) {
    // A service's operations that were never called are not worth a line.
    const bool unused =
        plan.channel.kind == port_data::ChannelKind::ServiceReplies && plan.recorded == 0;
    if (!unused) std::cout << describePlan(plan) << std::endl;
  }

  auto reader = port_data::RecordingReader::open(request.recording);
  if (!reader) throw Failure(what + ": " + reader.error());
  std::map<std::uint16_t, const port_data::TypeDesc*> types;
  for (const ChannelPlan& plan : plans)
    types[plan.channel.id] = port_data::findType(plan.channel.dataType);
  std::map<std::uint16_t, bool> littleEndian;
  std::map<std::uint16_t, std::string> labels;
  for (const ChannelPlan& plan : plans) {
    littleEndian[plan.channel.id] = plan.channel.littleEndian;
    labels[plan.channel.id] = channelLabel(plan.channel);
  }
  std::uint64_t written = 0;
  while (!stopRequested) {
    std::optional<port_data::Record> record = reader.value()->next();
    if (!record) break;
    auto* sample = std::get_if<port_data::Sample>(&*record);
    if (!sample) continue;
    const std::uint16_t id = sample->channel;
    std::unique_lock<std::mutex> lock(state->mutex);
    const ChannelRole role = state->plan.roleOf(id);
    if (role == ChannelRole::Follow) {
      state->recordedChecksums[id].push_back(
          valueChecksum(types[id], sample->octets, littleEndian[id]));
      state->plan.expect(id, sample->time_ns);
      continue;
    }
    if (role == ChannelRole::Serve) {
      state->replies[id].push_back({std::move(sample->octets), sample->failedCall});
      state->plan.expect(id, sample->time_ns);
      state->changed.notify_all();
      continue;
    }
    if (role != ChannelRole::Write) continue;
    std::optional<double> waitingSince_s;
    while (!stopRequested) {
      const port_data::ReplayStep step = state->plan.next(sample->time_ns, state->now_s(), *state);
      if (step.action == port_data::ReplayStep::Action::Write) break;
      if (step.action == port_data::ReplayStep::Action::WaitUntil) {
        waitingSince_s.reset();
        const double wait_s = std::min(step.until_s - state->now_s(), 0.1);
        state->changed.wait_for(lock, std::chrono::duration<double>(std::max(wait_s, 0.0)));
        continue;
      }
      if (!waitingSince_s) waitingSince_s = state->now_s();
      if (state->now_s() - *waitingSince_s > state->syncTimeout_s) {
        state->plan.giveUp(step.channel);
        std::cerr << "rtctl: " << what << ": " << labels[step.channel] << ": sample " << step.count
                  << " did not come within " << state->syncTimeout_s << " s; no longer waited for"
                  << std::endl;
        continue;
      }
      state->changed.wait_for(lock, kStopPoll);
    }
    lock.unlock();
    if (stopRequested) break;
    for (auto& writer : writers[id]) writer->write(sample->octets);
    ++written;
  }
  {
    std::unique_lock<std::mutex> lock(state->mutex);
    state->finished = true;
    state->changed.notify_all();
    // The followed outputs have their time to come in before they are compared.
    state->changed.wait_for(lock, std::chrono::duration<double>(request.syncTimeout_s), [&] {
      if (stopRequested) return true;
      for (const ChannelPlan& plan : plans) {
        if (plan.role == ChannelRole::Follow &&
            state->count(plan.channel.id) < state->recordedChecksums[plan.channel.id].size()) {
          return false;
        }
      }
      return true;
    });
  }
  for (auto& service : services) service->restore();
  for (auto& tap : taps) tap->disconnect();

  std::lock_guard<std::mutex> lock(state->mutex);
  std::cout << "replayed " << written << " samples in " << secondsText(state->now_s())
            << (reader.value()->cutShort().empty()
                    ? ""
                    : " (the recording is cut short: " + reader.value()->cutShort() + ")")
            << std::endl;
  for (const ChannelPlan& plan : plans) {
    const std::uint16_t id = plan.channel.id;
    if (plan.role == ChannelRole::Follow) {
      const auto& recorded = state->recordedChecksums[id];
      const auto& live = state->liveChecksums[id];
      size_t firstDifference = 0;
      while (firstDifference < recorded.size() && firstDifference < live.size() &&
             recorded[firstDifference] == live[firstDifference]) {
        ++firstDifference;
      }
      std::cout << "  " << plan.channel.port << ": " << live.size() << " samples, "
                << recorded.size() << " recorded";
      if (firstDifference == recorded.size() && live.size() == recorded.size()) {
        std::cout << ", all as recorded" << std::endl;
      } else if (firstDifference < std::min(recorded.size(), live.size())) {
        std::cout << ", the first difference at sample " << firstDifference + 1 << std::endl;
      } else {
        std::cout << ", as recorded up to sample " << firstDifference << std::endl;
      }
    } else if (plan.role == ChannelRole::Serve && (plan.recorded > 0 || state->count(id) > 0)) {
      std::cout << "  " << channelLabel(plan.channel) << ": " << state->count(id) << " calls, "
                << plan.recorded << " recorded replies" << std::endl;
    }
  }
  if (state->plan.skipped() > 0) {
    std::cout << "  " << state->plan.skipped()
              << " followed samples did not come before the next call" << std::endl;
  }
  return 0;
}

}  // namespace rtctl
