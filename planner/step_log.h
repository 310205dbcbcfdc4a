#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "path_record.h"

namespace planner {

// The step log: one block per completed cycle (a numbered value and the three records from
// the step on), and an average of the values when it closes. Each block is on disk when
// append returns.
class StepLog {
 public:
  StepLog() = default;
  StepLog(const StepLog&) = delete;
  StepLog& operator=(const StepLog&) = delete;
  ~StepLog() { close(); }

  // Creates (truncates) the file; false when it cannot be written.
  bool open(const std::string& fileName);
  void append(std::int32_t value, const PathBook& path);
  // Writes the average line ("average=0" when nothing was appended) and closes. Idempotent.
  void close();

 private:
  // Room for one block: four lines of at most a few hundred characters each.
  static constexpr std::size_t kRecordBytes = 4096;

  std::FILE* file_ = nullptr;
  std::int32_t sum_ = 0;
  std::int32_t count_ = 0;
};

}  // namespace planner
