#pragma once
// The rate at which samples arrive, over a window of the latest gaps between them: mean rate,
// shortest and longest gap and the standard deviation of the gaps.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace port_data {

struct RateStats {
  double rate_hz = 0;
  double minGap_s = 0;
  double maxGap_s = 0;
  double stdDevGap_s = 0;
  // Gaps the figures are taken over.
  size_t window = 0;
};

class RateWindow {
 public:
  // Keeps the latest `window` gaps (at least 1).
  explicit RateWindow(size_t window);

  // A sample arrived at arrival_s (any steady clock, seconds).
  void add(double arrival_s);
  // Empty until two samples have arrived.
  std::optional<RateStats> stats() const;
  std::uint64_t arrivals() const { return arrivals_; }

 private:
  size_t window_;
  std::deque<double> gaps_s_;
  std::optional<double> last_s_;
  std::uint64_t arrivals_ = 0;
};

// "rate 10.000 Hz  min 0.0990 s  max 0.1010 s  std dev 0.00051 s  window 10"
std::string formatRate(const RateStats& stats);
// {"rate_hz":10.0,"min_s":0.099,"max_s":0.101,"std_dev_s":0.00051,"window":10}
std::string formatRateJson(const RateStats& stats);

}  // namespace port_data
