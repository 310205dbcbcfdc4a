#include "placement_check.h"

#include <cmath>
#include <map>

namespace demo_summary {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMillimetresPerMetre = 1000.0;

double wrappedDegrees(double angle_rad) {
  double degrees = std::remainder(angle_rad, 2.0 * kPi) * 180.0 / kPi;
  if (degrees <= -180.0) degrees += 360.0;
  return degrees;
}

}  // namespace

PlacementReport checkPlacement(const pickplace::CellConfig& config,
                               const std::vector<ObjectFinal>& objects, const TrayFinal& tray,
                               double tolerance_mm) {
  PlacementReport report;
  report.ok = !objects.empty();
  std::map<long, int> takenPerClass;
  for (const ObjectFinal& object : objects) {
    ObjectVerdict verdict;
    verdict.object = object;
    const int slot = takenPerClass[object.classId]++;
    verdict.slot = slotAfterPutDown(config, object.classId, slot);
    if (verdict.slot) {
      const double dx = object.baseCentre.x_m - verdict.slot->x_m;
      const double dy = object.baseCentre.y_m - verdict.slot->y_m;
      verdict.across_mm = std::hypot(dx, dy) * kMillimetresPerMetre;
      verdict.up_mm = (object.baseCentre.z_m - verdict.slot->z_m) * kMillimetresPerMetre;
      verdict.ok = object.onTray && verdict.across_mm <= tolerance_mm &&
                   std::fabs(verdict.up_mm) <= tolerance_mm;
    }
    report.ok = report.ok && verdict.ok;
    report.objects.push_back(verdict);
  }

  TrayVerdict& trayVerdict = report.tray;
  trayVerdict.tray = tray;
  trayVerdict.expected = putDownTrayPose(config);
  const Point3& at = tray.topCentre;
  const Point3& want = trayVerdict.expected.topCentre;
  trayVerdict.off_mm = std::sqrt(std::pow(at.x_m - want.x_m, 2) + std::pow(at.y_m - want.y_m, 2) +
                                 std::pow(at.z_m - want.z_m, 2)) *
                       kMillimetresPerMetre;
  trayVerdict.yawOff_deg = wrappedDegrees(tray.yaw_rad - trayVerdict.expected.yaw_rad);
  trayVerdict.ok = !tray.lifted && trayVerdict.off_mm <= tolerance_mm;
  report.ok = report.ok && trayVerdict.ok;
  return report;
}

}  // namespace demo_summary
