// How closely the periodic execution context keeps its period: a probe component notes the
// start of every onExecute, and the intervals between them are compared with the period.
//
//   build/bin/ec_period_bench [--seconds 10] [--rates 100,1000] [--loads idle,half,whole,overrun]
//
// Loads: "idle" returns at once; "half" works (spins) for half a period; "whole" works for the
// whole period; "overrun" is idle but works for 2.5 periods in every tenth cycle, which shows
// what the context does when it falls behind (see the overrun policy in ExecutionContext.h).
// For each rate and load it prints the cycles run, the mean period (the mean interval between
// the starts of two cycles) and its error, the median, 99th percentile and largest deviation
// of an interval from the period, and the periods lost: how many more periods than cycles
// the run spanned (cycles dropped after an overrun, or time the context fell behind).
#include <rtm/DataFlowComponentBase.h>
#include <rtm/ExecutionContext.h>
#include <rtm/Manager.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

enum class Load { kIdle, kHalf, kWhole, kOverrun };

struct LoadName {
  Load load;
  const char* name;
};
constexpr LoadName kLoads[] = {{Load::kIdle, "idle"},
                               {Load::kHalf, "half"},
                               {Load::kWhole, "whole"},
                               {Load::kOverrun, "overrun"}};
// In the overrun load, every this many cycles one works for kOverrunPeriods periods.
constexpr int kOverrunEvery = 10;
constexpr double kOverrunPeriods = 2.5;

// What the probe does in each cycle; set before it is activated.
Load g_load = Load::kIdle;
Clock::duration g_period{};

class PeriodProbe : public RTC::DataFlowComponentBase {
 public:
  explicit PeriodProbe(RTC::Manager* manager) : RTC::DataFlowComponentBase(manager) {}

  RTC::ReturnCode_t onActivated(RTC::UniqueId) override {
    count_ = 0;
    return RTC::RTC_OK;
  }

  RTC::ReturnCode_t onExecute(RTC::UniqueId) override {
    const Clock::time_point start = Clock::now();
    const size_t index = count_.load(std::memory_order_relaxed);
    if (index < starts_.size()) starts_[index] = start;
    count_.store(index + 1, std::memory_order_release);
    work(start, index);
    return RTC::RTC_OK;
  }

  void reserve(size_t cycles) { starts_.assign(cycles, Clock::time_point{}); }
  std::vector<Clock::time_point> starts() const {
    const size_t count = std::min(count_.load(std::memory_order_acquire), starts_.size());
    return std::vector<Clock::time_point>(starts_.begin(), starts_.begin() + count);
  }

 private:
  static void work(Clock::time_point start, size_t index) {
    Clock::duration busy{};
    switch (g_load) {
      case Load::kIdle:
        return;
      case Load::kHalf:
        busy = g_period / 2;
        break;
      case Load::kWhole:
        busy = g_period;
        break;
      case Load::kOverrun:
        if (index % kOverrunEvery != kOverrunEvery - 1) return;
        busy = std::chrono::duration_cast<Clock::duration>(g_period * kOverrunPeriods);
        break;
    }
    while (Clock::now() - start < busy) {
    }
  }

  std::vector<Clock::time_point> starts_;
  std::atomic<size_t> count_{0};
};

// clang-format off
const char* const kProbeProfile[] = {
    "implementation_id", "PeriodProbe",
    "type_name",         "PeriodProbe",
    "description",       "period probe",
    "version",           "1.0.0",
    "vendor",            "bench",
    "category",          "bench",
    "activity_type",     "PERIODIC",
    "kind",              "DataFlowComponent",
    "max_instance",      "0",
    "language",          "C++",
    "lang_type",         "compile",
    ""};
// clang-format on

RTC::RTObject_impl* createProbe(RTC::Manager* manager) { return new PeriodProbe(manager); }
void destroyProbe(RTC::RTObject_impl* component) { delete component; }

struct Figures {
  size_t cycles = 0;
  double meanPeriod_ms = 0;
  double meanError_percent = 0;
  double medianDeviation_us = 0;
  double p99Deviation_us = 0;
  double maxDeviation_us = 0;
  long lost = 0;
};

Figures figuresOf(const std::vector<Clock::time_point>& starts, Clock::duration period) {
  Figures figures;
  figures.cycles = starts.size();
  if (starts.size() < 2) return figures;
  const double period_us = std::chrono::duration<double, std::micro>(period).count();
  std::vector<double> deviations;
  for (size_t i = 1; i < starts.size(); ++i) {
    const double interval_us =
        std::chrono::duration<double, std::micro>(starts[i] - starts[i - 1]).count();
    deviations.push_back(std::fabs(interval_us - period_us));
  }
  const double span_us =
      std::chrono::duration<double, std::micro>(starts.back() - starts.front()).count();
  const double intervals = static_cast<double>(starts.size() - 1);
  figures.meanPeriod_ms = span_us / intervals / 1000.0;
  figures.meanError_percent = (span_us / intervals - period_us) / period_us * 100.0;
  figures.lost = std::max(0L, std::lround(span_us / period_us) - static_cast<long>(intervals));
  std::sort(deviations.begin(), deviations.end());
  auto at = [&](double quantile) {
    return deviations[std::min(
        deviations.size() - 1,
        static_cast<size_t>(quantile * static_cast<double>(deviations.size())))];
  };
  figures.medianDeviation_us = at(0.5);
  figures.p99Deviation_us = at(0.99);
  figures.maxDeviation_us = deviations.back();
  return figures;
}

Figures measure(double rate_hz, Load load, double seconds) {
  g_load = load;
  g_period =
      std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate_hz));
  const std::string request = "PeriodProbe?exec_cxt.periodic.rate=" + std::to_string(rate_hz);
  auto* probe =
      static_cast<PeriodProbe*>(RTC::Manager::instance().createComponent(request.c_str()));
  if (probe == nullptr) return {};
  probe->reserve(static_cast<size_t>(rate_hz * seconds * 2) + 16);
  probe->ownedContext()->activate();
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  probe->ownedContext()->deactivate();
  const Figures figures = figuresOf(probe->starts(), g_period);
  probe->exit();
  return figures;
}

std::vector<std::string> splitList(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  std::string word;
  while (std::getline(in, word, ',')) words.push_back(word);
  return words;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 10;
  std::vector<std::string> rates = {"100", "1000"};
  std::vector<std::string> loads = {"idle", "half", "whole", "overrun"};
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--seconds") == 0)
      seconds = std::atof(argv[i + 1]);
    else if (std::strcmp(argv[i], "--rates") == 0)
      rates = splitList(argv[i + 1]);
    else if (std::strcmp(argv[i], "--loads") == 0)
      loads = splitList(argv[i + 1]);
  }
  const char* words[] = {
      "ec_period_bench",  "-o", "corba.endpoints:127.0.0.1:",    "-o",   "naming.enable:NO", "-o",
      "logger.enable:NO", "-o", "manager.shutdown_on_nortcs:NO", nullptr};
  RTC::Manager* manager = RTC::Manager::init(static_cast<int>(sizeof words / sizeof words[0]) - 1,
                                             const_cast<char**>(words));
  if (manager == nullptr) return 1;
  manager->activateManager();
  coil::Properties profile(kProbeProfile);
  manager->registerFactory(profile, createProbe, destroyProbe);

  std::printf("%9s %-8s %7s %11s %8s %10s %10s %10s %8s\n", "rate", "load", "cycles", "mean period",
              "error", "median dev", "p99 dev", "max dev", "lost");
  for (const std::string& rate_text : rates) {
    const double rate_hz = std::atof(rate_text.c_str());
    for (const std::string& load_name : loads) {
      const LoadName* load = std::find_if(std::begin(kLoads), std::end(kLoads),
                                          [&](const LoadName& l) { return load_name == l.name; });
      if (load == std::end(kLoads) || !(rate_hz > 0)) {
        std::fprintf(stderr, "unknown rate or load: %s %s\n", rate_text.c_str(), load_name.c_str());
        return 2;
      }
      const Figures f = measure(rate_hz, load->load, seconds);
      std::printf("%6.0f Hz %-8s %7zu %8.4f ms %+7.3f%% %7.0f us %7.0f us %7.0f us %8ld\n", rate_hz,
                  load->name, f.cycles, f.meanPeriod_ms, f.meanError_percent, f.medianDeviation_us,
                  f.p99Deviation_us, f.maxDeviation_us, f.lost);
      std::fflush(stdout);
    }
  }
  manager->shutdown();
  return 0;
}
