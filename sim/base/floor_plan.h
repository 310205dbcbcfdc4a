#pragma once
// A building for the simulated base: straight wall segments in a fixed world frame and the
// pose the base starts from. Loaded from a small text file (format in sim/base/README.md).

#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace basesim {

struct WorldPoint {
  double x_m = 0.0;
  double y_m = 0.0;
};

// A wall is an infinitely thin segment; the base touches it when the segment comes closer to
// the base's centre than the footprint radius.
struct WallSegment {
  WorldPoint from;
  WorldPoint to;
};

// Pose in the world frame; heading counter-clockwise from the world x axis.
struct WorldPose {
  double x_m = 0.0;
  double y_m = 0.0;
  double heading_rad = 0.0;
};

struct FloorPlan {
  std::vector<WallSegment> walls;
  WorldPose start;
  // Where the route is expected to report its arrival and its finish, when the plan says.
  std::optional<WorldPoint> arrival;
  std::optional<WorldPoint> finish;
};

// Either a plan or a one-line error naming the file line that is wrong.
struct FloorPlanResult {
  bool ok = false;
  FloorPlan plan;
  std::string error;
};

// Parses the text format; `sourceName` prefixes error messages ("plan.txt:3: ...").
FloorPlanResult parseFloorPlan(std::istream& text, const std::string& sourceName);

// Opens and parses a file; a missing or unreadable file is an error result, not an exception.
FloorPlanResult loadFloorPlan(const std::string& path);

}  // namespace basesim
