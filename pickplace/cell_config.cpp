#include "cell_config.h"

#include <cstdlib>
#include <utility>

#include "finger_geometry.h"

namespace pickplace {
namespace {

// A position or an angle: any finite number.
RTC::ParameterCheck<double> anywhere() { return RTC::check::finite<double>(); }
// A distance: never negative.
RTC::ParameterCheck<double> distance() { return RTC::check::atLeast(0.0); }
// A margin of the fingers around an object: at most the hand's whole opening.
RTC::ParameterCheck<double> fingerMargin() {
  return RTC::check::between(0.0, hiro::kWidestFingerSpan_mm / 1000.0);
}

// Extra closing of the fingertip joints beyond which it is no backlash but another grip.
constexpr double kMaxFingerBacklash_deg = 90.0;

CellParameter real(const char* name, const char* defaultText, double CellConfig::*member,
                   RTC::ParameterCheck<double> check) {
  return {name, defaultText, member, nullptr, std::move(check), {}};
}

CellParameter integer(const char* name, const char* defaultText, long CellConfig::*member,
                      RTC::ParameterCheck<long> check) {
  return {name, defaultText, nullptr, member, {}, std::move(check)};
}

}  // namespace

const CellParameter kCellParameters[kCellParameterCount] = {
    real("xWorldR_m", "+0.350", &CellConfig::xWorldR_m, anywhere()),
    real("yWorldR_m", "-0.096", &CellConfig::yWorldR_m, anywhere()),
    real("zWorldR_m", "+0.032", &CellConfig::zWorldR_m, anywhere()),
    real("yWorldR_deg", "0.0", &CellConfig::yWorldR_deg, anywhere()),
    real("xPalletPlacedB_m", "+0.470", &CellConfig::xPalletPlacedB_m, anywhere()),
    real("yPalletPlacedB_m", "+0.000", &CellConfig::yPalletPlacedB_m, anywhere()),
    real("zPalletPlacedB_m", "+0.015", &CellConfig::zPalletPlacedB_m, anywhere()),
    real("rPalletPlacedB_deg", "0.0", &CellConfig::rPalletPlacedB_deg, anywhere()),
    real("pPalletPlacedB_deg", "-90.0", &CellConfig::pPalletPlacedB_deg, anywhere()),
    real("yPalletPlacedB_deg", "0.0", &CellConfig::yPalletPlacedB_deg, anywhere()),
    real("directionPalletPlacedR_deg", "100.0", &CellConfig::directionPalletPlacedR_deg,
         anywhere()),
    real("liftDistancePalletR_m", "0.15", &CellConfig::liftDistancePalletR_m, distance()),
    real("xPalletToBePlacedB_m", "+0.470", &CellConfig::xPalletToBePlacedB_m, anywhere()),
    real("yPalletToBePlacedB_m", "+0.000", &CellConfig::yPalletToBePlacedB_m, anywhere()),
    real("zPalletToBePlacedB_m", "+0.032", &CellConfig::zPalletToBePlacedB_m, anywhere()),
    real("directionPalletToBePlacedR_deg", "0.0", &CellConfig::directionPalletToBePlacedR_deg,
         anywhere()),
    real("holdDistance_m", "0.001", &CellConfig::holdDistance_m, fingerMargin()),
    real("releaseDistance_m", "0.002", &CellConfig::releaseDistance_m, fingerMargin()),
    real("fingerBacklash_deg", "8.0", &CellConfig::fingerBacklash_deg,
         RTC::check::between(0.0, kMaxFingerBacklash_deg)),
    real("xOPEOffsetR_m", "0.0", &CellConfig::xOPEOffsetR_m, anywhere()),
    real("yOPEOffsetR_m", "0.0", &CellConfig::yOPEOffsetR_m, anywhere()),
    real("speedBase", "5.0", &CellConfig::speedBase, RTC::check::positive<double>()),
    integer("serialNo", "3", &CellConfig::serialNo, RTC::check::atLeast<long>(0)),
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
