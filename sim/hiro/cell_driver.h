#pragma once
// The thread that makes simulated time pass: it reads the steady clock, asks the pacer how
// many control steps are due and runs them on the cell.

#include <atomic>
#include <thread>

#include "hiro_cell.h"

namespace hirosim {

class CellDriver {
 public:
  // timeScale > 0: simulated seconds per wall-clock second.
  CellDriver(HiroCell& cell, double timeScale);
  ~CellDriver();  // stops the thread

  CellDriver(const CellDriver&) = delete;
  CellDriver& operator=(const CellDriver&) = delete;

  void stop();

 private:
  void run(double timeScale);

  HiroCell& cell_;
  std::atomic<bool> running_{true};
  std::thread thread_;
};

}  // namespace hirosim
