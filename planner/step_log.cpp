#include "step_log.h"

namespace planner {

bool StepLog::open(const std::string& fileName) {
  close();
  file_ = std::fopen(fileName.c_str(), "w");
  sum_ = 0;
  count_ = 0;
  return file_ != nullptr;
}

void StepLog::append(std::int32_t value, const PathBook& path) {
  if (!file_) return;
  sum_ += value;
  ++count_;
  std::fprintf(file_, "step%04d : %d\n", count_, value);
  const char* labels[] = {"path[step+0]", "path[step+1]", "path[step+2]"};
  for (int k = 0; k < 3; ++k) {
    const PathRecord& record = path[path.step() + k];
    std::fprintf(file_, "%s::: v: %.2lf  r: %.2lf\tpose_x:%.2lf y:%.2lf\n%s", labels[k],
                 static_cast<double>(record.v_mmps), static_cast<double>(record.r_mm),
                 static_cast<double>(record.pose.x_mm), static_cast<double>(record.pose.y_mm),
                 k == 2 ? "\n" : "");
  }
}

void StepLog::close() {
  if (!file_) return;
  std::fprintf(file_, "\naverage=%d\n", count_ == 0 ? 0 : sum_ / count_);
  std::fclose(file_);
  file_ = nullptr;
}

}  // namespace planner
