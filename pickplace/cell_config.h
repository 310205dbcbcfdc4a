#pragma once
// The coordinator's configuration (cell geometry, grip tolerances, speed, robot unit) and the
// fixed constants of the cell.

#include <rtm/ParameterCheck.h>

#include <cstddef>

namespace pickplace {

// Distances in metres, angles in degrees, as configured.
struct CellConfig {
  double xWorldR_m;
  double yWorldR_m;
  double zWorldR_m;
  double yWorldR_deg;
  double xPalletPlacedB_m;
  double yPalletPlacedB_m;
  double zPalletPlacedB_m;
  double rPalletPlacedB_deg;
  double pPalletPlacedB_deg;
  double yPalletPlacedB_deg;
  double directionPalletPlacedR_deg;
  double liftDistancePalletR_m;
  double xPalletToBePlacedB_m;
  double yPalletToBePlacedB_m;
  double zPalletToBePlacedB_m;
  double directionPalletToBePlacedR_deg;
  double holdDistance_m;
  double releaseDistance_m;
  double fingerBacklash_deg;
  double xOPEOffsetR_m;
  double yOPEOffsetR_m;
  double speedBase;
  long serialNo;
};

// One configuration parameter: its name, its default as text, the member it sets and the
// values it takes (exactly one member pointer and its check are set).
struct CellParameter {
  const char* name;
  const char* defaultText;
  double CellConfig::*real;
  long CellConfig::*integer;
  RTC::ParameterCheck<double> realCheck;
  RTC::ParameterCheck<long> integerCheck;
};

constexpr std::size_t kCellParameterCount = 23;
// In binding order.
extern const CellParameter kCellParameters[kCellParameterCount];

// Every member at its default text's value.
CellConfig defaultCellConfig();

// Fixed cell constants, metres.
constexpr double kTrayWidth_m = 0.3;
constexpr double kObjectLiftClearance_m = 0.085;
constexpr double kSlotHeight_m = 0.007;
constexpr double kTrayGripHeight_m = 0.05;
constexpr double kTraySqueeze_m = 0.02;
constexpr double kSlotOffsetX_m = 0.04;
constexpr double kSlotOffsetY_m = 0.03975;

}  // namespace pickplace
