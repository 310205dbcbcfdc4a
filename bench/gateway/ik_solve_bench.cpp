// Cost of one IK solve per arm in process: the exported library call, and the gateway's whole
// query path (waist compensation, solver input, solve, joint-limit filter).
#include <array>
#include <vector>

#include <benchmark/benchmark.h>

#include "gateway/ik/arm_ik_solve.h"
#include "gateway/ik/solver_input.h"
#include "gateway/ik/waist_compensation.h"
#include "gateway/ikfast/ik_hiro_arms.h"

namespace {

constexpr double kHandDownPitch_rad = -1.5707963267948966;

const geometry::Pose6 kLeftTarget{0.35, 0.10, 0.20, 0.3, kHandDownPitch_rad, 0.0};
const geometry::Pose6 kRightTarget{0.35, -0.10, 0.20, -0.3, kHandDownPitch_rad, 0.0};

void libraryCall(benchmark::State& state, decltype(&ikL) ik, const geometry::Pose6& target) {
  const SolverInput input = solverInputFor(target);
  ikfast::IKSolutionList solutions;
  solutions.reserve(8);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ik(input.translation, input.rotation, nullptr, solutions));
    benchmark::DoNotOptimize(solutions.data());
  }
}

void gatewayQuery(benchmark::State& state, const ArmIkCalls& arm, const geometry::Pose6& target) {
  for (auto _ : state) {
    geometry::Pose6 chest;
    compensateWaist(target, 0.2, chest);
    ikfast::IKSolutionList solutions;
    std::vector<int> admissible;
    std::array<double, 6> chosen{};
    benchmark::DoNotOptimize(solveAdmissible(arm, chest, solutions, admissible, chosen));
  }
}

void BM_ikL(benchmark::State& state) { libraryCall(state, &ikL, kLeftTarget); }
void BM_ikR(benchmark::State& state) { libraryCall(state, &ikR, kRightTarget); }
void BM_gatewayQueryLeft(benchmark::State& state) { gatewayQuery(state, leftArmIk(), kLeftTarget); }
void BM_gatewayQueryRight(benchmark::State& state) {
  gatewayQuery(state, rightArmIk(), kRightTarget);
}

BENCHMARK(BM_ikL);
BENCHMARK(BM_ikR);
BENCHMARK(BM_gatewayQueryLeft);
BENCHMARK(BM_gatewayQueryRight);

}  // namespace

BENCHMARK_MAIN();
