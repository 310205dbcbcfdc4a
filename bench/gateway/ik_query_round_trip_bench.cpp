// Round trip of isIKSolutionFoundL from another process: this process asks a BriskoComp that
// runs beside a private omniNames on loopback.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <benchmark/benchmark.h>

#include "brisko_client.h"
#include "orb_environment.h"
#include "tests/support/test_support.h"

namespace {

BriskoRTC::BriskoService_ptr theService = BriskoRTC::BriskoService::_nil();

void BM_isIKSolutionFoundL_roundTrip(benchmark::State& state) {
  RTC::Pose3D pose;
  pose.position.x = 0.35;
  pose.position.y = 0.10;
  pose.position.z = 0.20;
  pose.orientation.r = 0.3;
  pose.orientation.p = -1.5707963267948966;
  pose.orientation.y = 0.0;
  std::vector<double> samples_us;
  samples_us.reserve(1 << 16);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const bool found = theService->isIKSolutionFoundL(pose, 0.2);
    const auto end = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(found);
    samples_us.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  std::sort(samples_us.begin(), samples_us.end());
  if (!samples_us.empty()) {
    state.counters["p50_us"] = samples_us[samples_us.size() / 2];
    state.counters["p99_us"] = samples_us[samples_us.size() * 99 / 100];
  }
}

BENCHMARK(BM_isIKSolutionFoundL_roundTrip)->MinTime(2.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  using namespace std::chrono_literals;
  test_support::NameServer names;
  test_support::TempDir dir;
  const std::string conf = test_support::writeRtcConf(
      dir.path(), {names.address(), "127.0.0.1:", 10.0, "INFO", {{"naming.formats", "%n.rtc"}}});
  test_support::ChildProcess brisko(test_support::binPath("BriskoComp"), {"-f", conf});
  if (!names.waitForBinding("Brisko0.rtc", 20s)) {
    std::fprintf(stderr, "BriskoComp did not register:\n%s\n", brisko.output().c_str());
    return 1;
  }
  BriskoRTC::BriskoService_var service =
      connectToBriskoService(fakes::testOrb(), names.corbaloc(), "Brisko0");
  if (CORBA::is_nil(service)) {
    std::fprintf(stderr, "no BriskoService reference\n");
    return 1;
  }
  theService = service.in();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
