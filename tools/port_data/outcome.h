#pragma once
// A result or the one line that says why there is none.
#include <optional>
#include <string>
#include <utility>

namespace port_data {

template <class T>
class Outcome {
 public:
  static Outcome success(T value) { return Outcome(std::move(value), {}); }
  static Outcome failure(std::string error) { return Outcome(std::nullopt, std::move(error)); }

  explicit operator bool() const { return value_.has_value(); }
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  const T* operator->() const { return &*value_; }
  const T& operator*() const { return *value_; }
  const std::string& error() const { return error_; }

 private:
  Outcome(std::optional<T> value, std::string error)
      : value_(std::move(value)), error_(std::move(error)) {}

  std::optional<T> value_;
  std::string error_;
};

}  // namespace port_data
