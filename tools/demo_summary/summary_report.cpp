#include "summary_report.h"

#include <cstdio>
#include <sstream>

namespace demo_summary {
namespace {

constexpr double kMillimetresPerMetre = 1000.0;

std::string format(const char* pattern, double a, double b, double c) {
  char text[96];
  std::snprintf(text, sizeof text, pattern, a, b, c);
  return text;
}

std::string millimetres(const Point3& p) {
  return format("(%+7.1f, %+7.1f, %+6.1f) mm", p.x_m * kMillimetresPerMetre,
                p.y_m * kMillimetresPerMetre, p.z_m * kMillimetresPerMetre);
}

const char* verdict(bool ok) { return ok ? "OK" : "WRONG"; }

void writeSteps(std::ostringstream& out, const std::vector<StepRecord>& steps) {
  out << "Steps\n";
  if (steps.empty()) out << "  no step was run\n";
  char line[200];
  for (const StepRecord& step : steps) {
    std::snprintf(line, sizeof line, "  %-28s %-24s %-26s %6.0f s  %s\n", step.label.c_str(),
                  step.command.c_str(), step.answer.c_str(), step.duration_s,
                  step.succeeded() ? "OK" : ("expected " + step.expected).c_str());
    out << line;
  }
}

void writePlacement(std::ostringstream& out, const SummaryInput& input) {
  out << "Objects (final place of the base centre against its slot)\n";
  if (!input.placement) {
    out << "  not known: " << input.placementUnavailable << "\n";
    return;
  }
  for (const ObjectVerdict& v : input.placement->objects) {
    out << "  object " << v.object.index << " (class " << v.object.classId << ") at "
        << millimetres(v.object.baseCentre);
    if (v.slot) {
      out << ", slot " << millimetres(*v.slot)
          << format(": %.1f mm across, %+.1f mm up", v.across_mm, v.up_mm, 0.0);
    } else {
      out << ", no slot for it";
    }
    out << (v.object.onTray ? ", on the tray" : ", not on the tray") << "  " << verdict(v.ok)
        << "\n";
  }
  const TrayVerdict& t = input.placement->tray;
  out << "Tray (top-surface centre against its put-down place)\n"
      << "  at " << millimetres(t.tray.topCentre) << ", put-down place "
      << millimetres(t.expected.topCentre)
      << format(": %.1f mm off, yaw %+.1f deg off", t.off_mm, t.yawOff_deg, 0.0)
      << (t.tray.lifted ? ", still held" : "") << "  " << verdict(t.ok) << "\n";
}

void writeBase(std::ostringstream& out, const SummaryInput& input) {
  out << "Base\n";
  if (!input.base) {
    out << "  not known: " << input.baseUnavailable << "\n";
    return;
  }
  out << "  collisions " << input.base->collisions
      << format(", distance driven %.2f m", input.base->travelled_m, 0.0, 0.0) << "  "
      << verdict(input.base->collisions == 0) << "\n";
}

}  // namespace

bool summarySucceeded(const SummaryInput& input) {
  return allStepsSucceeded(input.steps) && input.placement && input.placement->ok && input.base &&
         input.base->collisions == 0;
}

std::string formatSummary(const SummaryInput& input) {
  std::ostringstream out;
  writeSteps(out, input.steps);
  writePlacement(out, input);
  writeBase(out, input);
  out << (summarySucceeded(input)
              ? "Result: every step succeeded and every object is where it belongs\n"
              : "Result: FAILED\n");
  return out.str();
}

}  // namespace demo_summary
