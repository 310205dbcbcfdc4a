#include "rate_window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

namespace port_data {

RateWindow::RateWindow(size_t window) : window_(std::max<size_t>(window, 1)) {}

void RateWindow::add(double arrival_s) {
  ++arrivals_;
  if (last_s_) {
    gaps_s_.push_back(arrival_s - *last_s_);
    if (gaps_s_.size() > window_) gaps_s_.pop_front();
  }
  last_s_ = arrival_s;
}

std::optional<RateStats> RateWindow::stats() const {
  if (gaps_s_.empty()) return std::nullopt;
  RateStats stats;
  stats.window = gaps_s_.size();
  double sum_s = 0;
  for (double gap : gaps_s_) sum_s += gap;
  const double mean_s = sum_s / gaps_s_.size();
  double squares = 0;
  for (double gap : gaps_s_) squares += (gap - mean_s) * (gap - mean_s);
  stats.rate_hz = mean_s > 0 ? 1.0 / mean_s : 0.0;
  stats.minGap_s = *std::min_element(gaps_s_.begin(), gaps_s_.end());
  stats.maxGap_s = *std::max_element(gaps_s_.begin(), gaps_s_.end());
  stats.stdDevGap_s = std::sqrt(squares / gaps_s_.size());
  return stats;
}

std::string formatRate(const RateStats& stats) {
  char text[160];
  std::snprintf(text, sizeof text,
                "rate %.3f Hz  min %.4f s  max %.4f s  std dev %.5f s  window %zu", stats.rate_hz,
                stats.minGap_s, stats.maxGap_s, stats.stdDevGap_s, stats.window);
  return text;
}

std::string formatRateJson(const RateStats& stats) {
  nlohmann::ordered_json json;
  json["rate_hz"] = stats.rate_hz;
  json["min_s"] = stats.minGap_s;
  json["max_s"] = stats.maxGap_s;
  json["std_dev_s"] = stats.stdDevGap_s;
  json["window"] = stats.window;
  return json.dump();
}

}  // namespace port_data
