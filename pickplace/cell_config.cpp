#include "cell_config.h"

#include <cstdlib>

namespace pickplace {

const CellParameter kCellParameters[kCellParameterCount] = {
    {"xWorldR_m", "+0.350", &CellConfig::xWorldR_m, nullptr},
    {"yWorldR_m", "-0.096", &CellConfig::yWorldR_m, nullptr},
    {"zWorldR_m", "+0.032", &CellConfig::zWorldR_m, nullptr},
    {"yWorldR_deg", "0.0", &CellConfig::yWorldR_deg, nullptr},
    {"xPalletPlacedB_m", "+0.470", &CellConfig::xPalletPlacedB_m, nullptr},
    {"yPalletPlacedB_m", "+0.000", &CellConfig::yPalletPlacedB_m, nullptr},
    {"zPalletPlacedB_m", "+0.015", &CellConfig::zPalletPlacedB_m, nullptr},
    {"rPalletPlacedB_deg", "0.0", &CellConfig::rPalletPlacedB_deg, nullptr},
    {"pPalletPlacedB_deg", "-90.0", &CellConfig::pPalletPlacedB_deg, nullptr},
    {"yPalletPlacedB_deg", "0.0", &CellConfig::yPalletPlacedB_deg, nullptr},
    {"directionPalletPlacedR_deg", "100.0", &CellConfig::directionPalletPlacedR_deg, nullptr},
    {"liftDistancePalletR_m", "0.15", &CellConfig::liftDistancePalletR_m, nullptr},
    {"xPalletToBePlacedB_m", "+0.470", &CellConfig::xPalletToBePlacedB_m, nullptr},
    {"yPalletToBePlacedB_m", "+0.000", &CellConfig::yPalletToBePlacedB_m, nullptr},
    {"zPalletToBePlacedB_m", "+0.032", &CellConfig::zPalletToBePlacedB_m, nullptr},
    {"directionPalletToBePlacedR_deg", "0.0", &CellConfig::directionPalletToBePlacedR_deg, nullptr},
    {"holdDistance_m", "0.001", &CellConfig::holdDistance_m, nullptr},
    {"releaseDistance_m", "0.002", &CellConfig::releaseDistance_m, nullptr},
    {"fingerBacklash_deg", "8.0", &CellConfig::fingerBacklash_deg, nullptr},
    {"xOPEOffsetR_m", "0.0", &CellConfig::xOPEOffsetR_m, nullptr},
    {"yOPEOffsetR_m", "0.0", &CellConfig::yOPEOffsetR_m, nullptr},
    {"speedBase", "5.0", &CellConfig::speedBase, nullptr},
    {"serialNo", "3", nullptr, &CellConfig::serialNo},
};

CellConfig defaultCellConfig() {
  CellConfig config{};
  for (const CellParameter& parameter : kCellParameters) {
    if (parameter.real) {
      config.*parameter.real = std::strtod(parameter.defaultText, nullptr);
    } else {
      config.*parameter.integer = std::strtol(parameter.defaultText, nullptr, 10);
    }
  }
  return config;
}

}  // namespace pickplace
