// Round trip of isIKSolutionFoundL from another process: this process asks a BriskoComp that
// runs beside a private omniNames on loopback; or, given
//   --name-server HOST:PORT --component NAMING_PATH   (robot.host_cxt/Brisko0)
// one that runs elsewhere already (bench/hosts/hosts_bench.sh: across a network link).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
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

// Runs the benchmark against the gateway at the name server; 1 when it cannot be reached.
int benchmarkAgainst(const std::string& corbaloc, const std::string& component, int argc,
                     char** argv) {
  BriskoRTC::BriskoService_var service =
      connectToBriskoService(fakes::testOrb(), corbaloc, component);
  if (CORBA::is_nil(service)) {
    std::fprintf(stderr, "no BriskoService reference from %s at %s\n", component.c_str(),
                 corbaloc.c_str());
    return 1;
  }
  theService = service.in();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// The value of "--name VALUE", taken out of the arguments; "" without it.
std::string takeOption(int& argc, char** argv, const std::string& name) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (name != argv[i]) continue;
    std::string value = argv[i + 1];
    for (int j = i; j + 2 <= argc; ++j) argv[j] = argv[j + 2];
    argc -= 2;
    return value;
  }
  return "";
}

int main(int argc, char** argv) {
  using namespace std::chrono_literals;
  const std::string remoteNames = takeOption(argc, argv, "--name-server");
  const std::string remoteComponent = takeOption(argc, argv, "--component");
  if (!remoteNames.empty()) {
    return benchmarkAgainst("corbaloc::" + remoteNames + "/NameService",
                            remoteComponent.empty() ? "Brisko0" : remoteComponent, argc, argv);
  }
  test_support::NameServer names;
  test_support::TempDir dir;
  const std::string conf = test_support::writeRtcConf(
      dir.path(), {names.address(), "127.0.0.1:", 10.0, "INFO", {{"naming.formats", "%n.rtc"}}});
  test_support::ChildProcess brisko(test_support::binPath("BriskoComp"), {"-f", conf});
  if (!names.waitForBinding("Brisko0.rtc", 20s)) {
    std::fprintf(stderr, "BriskoComp did not register:\n%s\n", brisko.output().c_str());
    return 1;
  }
  return benchmarkAgainst(names.corbaloc(), "Brisko0", argc, argv);
}
