#pragma once
// How a step of a task ends: done (with its value, if it has one) or failed with the reason.
// A failure travels up to the task's entry point unchanged, each step on the way adding the
// line that says what it could not do; the entry point reports the lines and answers with the
// task's ERROR word. Nothing else in a task reports a failure.

#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace pickplace {

// Why a task could not do its work.
enum class FailureCause {
  callFailed,         // an outside call raised; the links reported it when it happened
  serviceMissing,     // a service the task cannot do without is not connected
  nothingFound,       // the estimation gateway sees no object
  noEmptySlot,        // the object's class has no free slot left
  fingerOutOfRange,   // a finger opening beyond what the hand can do
  unreachable,        // an IK check answered no
  noIkSolution,       // the conversion got no joint solution for a hand pose
  noController,       // no controller at activation, or it went away: nothing was sent
  controllerRefused,  // the controller answered a non-zero id
  stopped,            // a stop came before the trajectory was sent
};

class TaskFailure {
 public:
  // `line`, when given, is the error-stream line that says what failed.
  explicit TaskFailure(FailureCause cause, std::string line = {}) : cause_(cause) {
    if (!line.empty()) {
      lines_.push_back(std::move(line));
    }
  }

  FailureCause cause() const { return cause_; }
  // The error-stream lines, the innermost step's first.
  const std::vector<std::string>& lines() const { return lines_; }

  // The failure as the calling step reports it: `line` follows the lines so far. A failed
  // outside call was reported where it happened and gets no further line.
  TaskFailure within(std::string line) && {
    if (cause_ != FailureCause::callFailed) {
      lines_.push_back(std::move(line));
    }
    return std::move(*this);
  }

 private:
  FailureCause cause_;
  std::vector<std::string> lines_;
};

// A step's value, or its failure.
template <class Value>
class [[nodiscard]] Result {
 public:
  Result(Value value) : state_(std::move(value)) {}
  Result(TaskFailure failure) : state_(std::move(failure)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // Only when ok().
  const Value& value() const { return std::get<0>(state_); }
  const Value& operator*() const { return value(); }
  const Value* operator->() const { return &value(); }

  // Only when !ok().
  const TaskFailure& failure() const { return std::get<1>(state_); }
  TaskFailure takeFailure() { return std::get<1>(std::move(state_)); }

 private:
  std::variant<Value, TaskFailure> state_;
};

// The value of a step that yields nothing but its success.
struct Done {};
using Outcome = Result<Done>;

inline Outcome done() { return Done{}; }

}  // namespace pickplace
