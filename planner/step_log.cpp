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
  // The whole record goes out in one write, so that a process killed at any moment leaves
  // every earlier record complete.
  char record[kRecordBytes];
  int length = std::snprintf(record, sizeof record, "step%04d : %d\n", count_, value);
  const char* labels[] = {"path[step+0]", "path[step+1]", "path[step+2]"};
  for (int k = 0; k < 3; ++k) {
    const PathRecord& entry = path[path.step() + k];
    length += std::snprintf(record + length, sizeof record - length,
                            "%s::: v: %.2lf  r: %.2lf\tpose_x:%.2lf y:%.2lf\n%s", labels[k],
                            static_cast<double>(entry.v_mmps), static_cast<double>(entry.r_mm),
                            static_cast<double>(entry.pose.x_mm),
                            static_cast<double>(entry.pose.y_mm), k == 2 ? "\n" : "");
  }
  std::fwrite(record, 1, static_cast<std::size_t>(length), file_);
  std::fflush(file_);
}

void StepLog::close() {
  if (!file_) return;
  std::fprintf(file_, "\naverage=%d\n", count_ == 0 ? 0 : sum_ / count_);
  std::fclose(file_);
  file_ = nullptr;
}

}  // namespace planner
