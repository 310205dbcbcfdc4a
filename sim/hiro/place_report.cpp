#include "place_report.h"

#include <cmath>
#include <cstdio>

namespace hirosim {
namespace {

constexpr double kDegPerRad = 180.0 / M_PI;
// Half the last printed digit: a yaw closer to zero prints as 0.0.
constexpr double kShownAsZero_deg = 0.05;

std::string yawText(double yaw_rad) {
  // A rounding error below zero prints as 0.0, never as -0.0.
  const double yaw_deg = yaw_rad * kDegPerRad;
  char text[32];
  std::snprintf(text, sizeof text, "yaw %.1f deg",
                std::fabs(yaw_deg) < kShownAsZero_deg ? 0.0 : yaw_deg);
  return text;
}

std::string supportText(const ObjectPlace& place) {
  switch (place.support) {
    case Support::Table:
      return "on table";
    case Support::Tray:
      return "on tray";
    case Support::Hand:
      return std::string("in ") + sideName(place.holder) + " hand";
  }
  return "";
}

}  // namespace

std::vector<std::string> describePlaces(const std::vector<ObjectPlace>& objects,
                                        const TrayPlace& tray) {
  std::vector<std::string> lines;
  for (const ObjectPlace& place : objects) {
    lines.push_back("object " + std::to_string(place.index) + " (class " +
                    std::to_string(place.classId) + "): " + supportText(place) + " at " +
                    formatPosition(place.x_m, place.y_m, place.z_m) + ", " +
                    yawText(place.yaw_rad));
  }
  lines.push_back(std::string("tray: ") + (tray.lifted ? "lifted" : "standing") + " at " +
                  formatPosition(tray.x_m, tray.y_m, tray.topZ_m) + ", " + yawText(tray.yaw_rad));
  return lines;
}

}  // namespace hirosim
