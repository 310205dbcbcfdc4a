// rtctl hz: the rate at which an out-port's samples arrive, once a second, over a window of the
// latest gaps: mean rate, shortest and longest gap, standard deviation of the gaps.
#include <chrono>
#include <iostream>
#include <memory>
#include <mutex>
#include <thread>

#include "port_tap.h"
#include "tools/port_data/rate_window.h"
#include "verbs.h"

namespace rtctl {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kReportPeriod{1};
constexpr std::chrono::milliseconds kStopPoll{100};

struct Arrivals {
  explicit Arrivals(size_t window) : window(window) {}
  std::mutex mutex;
  port_data::RateWindow window;
};

double secondsSince(Clock::time_point start, Clock::time_point then) {
  return std::chrono::duration<double>(then - start).count();
}

}  // namespace

int hzCommand(Session& session, const Invocation& invocation) {
  const PortAddress& address = invocation.ports[0];
  const PortDataOptions& request = invocation.portData;
  const std::string what = "hz " + label(address);
  FoundPort found = findPort(session, address);
  const Clock::time_point start = Clock::now();
  // Shared with the sink, which may still be running a moment after the connection is gone.
  auto arrivals = std::make_shared<Arrivals>(static_cast<size_t>(request.window));
  // The samples are only counted: hz neither decodes nor needs to know their type.
  OutPortTap tap(session, std::move(found), address, "hz",
                 [arrivals, start](const OpenRTM::CdrData&) {
                   const double arrival_s = secondsSince(start, Clock::now());
                   std::lock_guard<std::mutex> lock(arrivals->mutex);
                   arrivals->window.add(arrival_s);
                   return OpenRTM::PORT_OK;
                 });
  const auto end = request.duration_s
                       ? start + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(*request.duration_s))
                       : Clock::time_point::max();
  auto nextReport = start + kReportPeriod;
  std::uint64_t reported = 0;
  while (!stopRequested && Clock::now() < end) {
    std::this_thread::sleep_for(std::min<Clock::duration>(kStopPoll, nextReport - Clock::now()));
    if (Clock::now() < nextReport) continue;
    nextReport += kReportPeriod;
    std::string lost = tap.lost();
    if (!lost.empty()) throw Failure(what + ": " + lost);
    std::optional<port_data::RateStats> stats;
    std::uint64_t count = 0;
    {
      std::lock_guard<std::mutex> lock(arrivals->mutex);
      stats = arrivals->window.stats();
      count = arrivals->window.arrivals();
    }
    if (count == reported) {
      std::cout << (request.format == SampleFormat::Json ? R"({"no_new_samples":true})"
                                                         : "no new samples")
                << std::endl;
    } else if (stats) {
      std::cout << (request.format == SampleFormat::Json ? port_data::formatRateJson(*stats)
                                                         : port_data::formatRate(*stats))
                << std::endl;
    }
    reported = count;
  }
  return 0;
}

}  // namespace rtctl
