#include "tray_layout.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "angles.h"
#include "placing_slots.h"
#include "planning_geometry.h"

namespace demo_summary {
namespace {

using pickplace::CellConfig;

Point3 turned(double x_m, double y_m, double z_m, double direction_deg) {
  const pickplace::HandPose pose = pickplace::rotateAboutVertical(
      pickplace::HandPose{x_m, y_m, z_m, 0.0, 0.0, 0.0}, pickplace::degToRad(direction_deg));
  return {pose.x_m, pose.y_m, pose.z_m};
}

// The slot in the receiving pallet's frame B, as the coordinator lays it out.
std::optional<pickplace::SlotPosition> slotInB(const CellConfig& config, long classId, int slot) {
  if (classId < 0 || classId >= pickplace::PlacingSlots::kClassCount || slot < 0 ||
      slot >= pickplace::PlacingSlots::kSlotsPerClass) {
    return std::nullopt;
  }
  pickplace::PlacingSlots slots;
  slots.initialize(config.xPalletPlacedB_m, config.zPalletPlacedB_m);
  return slots.position(static_cast<int>(classId), slot);
}

// Trailing blanks are allowed; anything else after the number is not.
bool endsCleanly(const char* end) {
  while (*end == ' ' || *end == '\t') ++end;
  return *end == '\0';
}

}  // namespace

CellConfigParse cellConfigFrom(const std::map<std::string, std::string>& values) {
  CellConfig config = pickplace::defaultCellConfig();
  for (const pickplace::CellParameter& parameter : pickplace::kCellParameters) {
    const auto found = values.find(parameter.name);
    if (found == values.end()) {
      return {std::nullopt, std::string("no value for ") + parameter.name};
    }
    const char* text = found->second.c_str();
    char* end = nullptr;
    errno = 0;
    bool valid = false;
    if (parameter.real) {
      const double value = std::strtod(text, &end);
      valid = end != text && endsCleanly(end) && std::isfinite(value);
      config.*parameter.real = value;
    } else {
      const long value = std::strtol(text, &end, 10);
      valid = end != text && endsCleanly(end) && errno == 0;
      config.*parameter.integer = value;
    }
    if (!valid) {
      return {std::nullopt,
              std::string(parameter.name) + " is not a number: \"" + found->second + "\""};
    }
  }
  return {config, ""};
}

TrayPose receivingTrayPose(const CellConfig& config) {
  return {turned(config.xPalletPlacedB_m, config.yPalletPlacedB_m, config.zPalletPlacedB_m,
                 config.directionPalletPlacedR_deg),
          pickplace::degToRad(config.directionPalletPlacedR_deg)};
}

TrayPose putDownTrayPose(const CellConfig& config) {
  return {turned(config.xPalletToBePlacedB_m, config.yPalletToBePlacedB_m,
                 config.zPalletToBePlacedB_m, config.directionPalletToBePlacedR_deg),
          pickplace::degToRad(config.directionPalletToBePlacedR_deg)};
}

std::optional<Point3> slotAtReceivingPlace(const CellConfig& config, long classId, int slot) {
  const auto inB = slotInB(config, classId, slot);
  if (!inB) return std::nullopt;
  return turned(inB->x, inB->y, inB->z, config.directionPalletPlacedR_deg);
}

std::optional<Point3> slotAfterPutDown(const CellConfig& config, long classId, int slot) {
  const auto inB = slotInB(config, classId, slot);
  if (!inB) return std::nullopt;
  // The slot's offset from the tray's top-surface centre is the same at both places.
  return turned(config.xPalletToBePlacedB_m + inB->x - config.xPalletPlacedB_m,
                config.yPalletToBePlacedB_m + inB->y - config.yPalletPlacedB_m,
                config.zPalletToBePlacedB_m + inB->z - config.zPalletPlacedB_m,
                config.directionPalletToBePlacedR_deg);
}

}  // namespace demo_summary
