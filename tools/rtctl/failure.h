#pragma once
// How an rtctl command fails: an exception carrying the one line the tool prints after
// "rtctl: ".
#include <stdexcept>

namespace rtctl {

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace rtctl
