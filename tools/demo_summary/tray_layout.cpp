#include "tray_layout.h"

#include <cmath>
#include <cstdlib>

namespace demo_summary {
namespace {

constexpr double kPi = 3.14159265358979323846;

double radians(double degrees) { return degrees * kPi / 180.0; }

Point3 turnedAboutVertical(const Point3& p, double angle_rad) {
  const double c = std::cos(angle_rad), s = std::sin(angle_rad);
  return {p.x_m * c - p.y_m * s, p.x_m * s + p.y_m * c, p.z_m};
}

bool validSlot(int classId, int slot) {
  return classId >= 0 && classId < kSlotClassCount && slot >= 0 && slot < kSlotsPerClass;
}

// The slot's offset from the tray's top-surface centre, in the tray's own frame. The slots'
// y ignores yPalletPlacedB_m, so the offset does not.
Point3 slotOffsetOnTray(const TrayConfig& config, int classId, int slot) {
  const double dx = slot == 0 ? kSlotOffsetX_m : -kSlotOffsetX_m;
  const double dy = classId == 0 ? kSlotOffsetY_m : -kSlotOffsetY_m;
  return {dx, dy - config.yPalletPlacedB_m, kSlotHeight_m};
}

Point3 onTray(const Point3& offset, const Point3& trayInB, double direction_deg) {
  return turnedAboutVertical(
      {trayInB.x_m + offset.x_m, trayInB.y_m + offset.y_m, trayInB.z_m + offset.z_m},
      radians(direction_deg));
}

}  // namespace

TrayConfigParse trayConfigFrom(const std::map<std::string, std::string>& values) {
  TrayConfig config;
  const std::pair<const char*, double*> fields[] = {
      {"xPalletPlacedB_m", &config.xPalletPlacedB_m},
      {"yPalletPlacedB_m", &config.yPalletPlacedB_m},
      {"zPalletPlacedB_m", &config.zPalletPlacedB_m},
      {"directionPalletPlacedR_deg", &config.directionPalletPlacedR_deg},
      {"xPalletToBePlacedB_m", &config.xPalletToBePlacedB_m},
      {"yPalletToBePlacedB_m", &config.yPalletToBePlacedB_m},
      {"zPalletToBePlacedB_m", &config.zPalletToBePlacedB_m},
      {"directionPalletToBePlacedR_deg", &config.directionPalletToBePlacedR_deg},
  };
  for (const auto& [name, target] : fields) {
    const auto found = values.find(name);
    if (found == values.end()) return {std::nullopt, std::string("no value for ") + name};
    const char* text = found->second.c_str();
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    if (end == text || *end != '\0' || !std::isfinite(value)) {
      return {std::nullopt, std::string(name) + " is not a number: \"" + found->second + "\""};
    }
    *target = value;
  }
  return {config, ""};
}

TrayPose receivingTrayPose(const TrayConfig& config) {
  const Point3 inB{config.xPalletPlacedB_m, config.yPalletPlacedB_m, config.zPalletPlacedB_m};
  const double yaw = radians(config.directionPalletPlacedR_deg);
  return {turnedAboutVertical(inB, yaw), yaw};
}

TrayPose putDownTrayPose(const TrayConfig& config) {
  const Point3 inB{config.xPalletToBePlacedB_m, config.yPalletToBePlacedB_m,
                   config.zPalletToBePlacedB_m};
  const double yaw = radians(config.directionPalletToBePlacedR_deg);
  return {turnedAboutVertical(inB, yaw), yaw};
}

std::optional<Point3> slotAtReceivingPlace(const TrayConfig& config, int classId, int slot) {
  if (!validSlot(classId, slot)) return std::nullopt;
  return onTray(slotOffsetOnTray(config, classId, slot),
                {config.xPalletPlacedB_m, config.yPalletPlacedB_m, config.zPalletPlacedB_m},
                config.directionPalletPlacedR_deg);
}

std::optional<Point3> slotAfterPutDown(const TrayConfig& config, int classId, int slot) {
  if (!validSlot(classId, slot)) return std::nullopt;
  return onTray(slotOffsetOnTray(config, classId, slot),
                {config.xPalletToBePlacedB_m, config.yPalletToBePlacedB_m,
                 config.zPalletToBePlacedB_m},
                config.directionPalletToBePlacedR_deg);
}

}  // namespace demo_summary
