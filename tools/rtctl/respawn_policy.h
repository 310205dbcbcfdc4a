#pragma once
// When rtctl launch starts a program again after it ended. A program that ran steadily
// (kSteadyRun_s or longer) is started again at once. One that ends soon after its start again
// and again waits longer each time (0, 0.5, 1, 2 s...), and after kMaxQuickEnds such ends in a
// row it is not started again: a program that cannot run is reported, not hammered. Plain
// logic.
#include <optional>

namespace rtctl {

class RespawnSchedule {
 public:
  static constexpr double kSteadyRun_s = 10.0;
  static constexpr int kMaxQuickEnds = 5;
  static constexpr double kFirstBackoff_s = 0.5;
  static constexpr double kMaxBackoff_s = 8.0;

  // The program ended ranFor_s after its start: the delay before starting it again, or
  // nothing when it is not to be started again.
  std::optional<double> afterEnd(double ranFor_s);

  // Quick ends in a row so far.
  int quickEnds() const { return quickEnds_; }

 private:
  int quickEnds_ = 0;
};

}  // namespace rtctl
