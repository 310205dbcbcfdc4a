#include "process_cell.h"

#include <atomic>
#include <cstdlib>
#include <iostream>

namespace hirosim {
namespace {
std::atomic<HiroCell*> theCell{nullptr};
}

void setProcessCell(HiroCell* cell) { theCell = cell; }

HiroCell& processCell() {
  HiroCell* cell = theCell;
  if (cell == nullptr) {
    // A component created outside HiroSimComp's main has no cell to serve.
    std::cerr << "HiroSimComp: no simulated cell in this process" << std::endl;
    std::abort();
  }
  return *cell;
}

}  // namespace hirosim
