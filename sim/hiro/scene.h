#pragma once
// The work cell's starting state: the table, the receiving tray and the objects on the
// table, all in the robot frame R (metres, radians), read from a small text file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hirosim {

struct SceneObject {
  long classId = 0;
  double depth_m = 0.0;  // along the object's own x axis
  double width_m = 0.0;  // along the object's own y axis: the fingers close across it
  double height_m = 0.0;
  double x_m = 0.0;  // centre of the object's base
  double y_m = 0.0;
  double yaw_rad = 0.0;
};

struct SceneTray {
  double x_m = 0.0;  // centre of the tray
  double y_m = 0.0;
  double topZ_m = 0.0;  // the surface objects stand on
  double yaw_rad = 0.0;
  double length_m = 0.0;  // along the tray's own x axis
  double width_m = 0.0;   // along its y axis; the two grip points sit at +-width/2
  double thickness_m = 0.0;
  double gripHeight_m = 0.0;  // grip points above the top surface
};

// The table top's extent, aligned with R.
struct TableExtent {
  double minX_m = 0.0;
  double maxX_m = 0.0;
  double minY_m = 0.0;
  double maxY_m = 0.0;
};

// A placing slot on the tray, from its top-surface centre along the tray's own x and y axes;
// where the coordinator sets objects down (shown in pictures of the cell, not simulated).
struct SceneSlot {
  long classId = 0;
  int slot = 0;
  double along_m = 0.0;
  double across_m = 0.0;
};

// Where the tray task is to put the tray down: its top-surface centre and yaw.
struct SceneTrayPlace {
  double x_m = 0.0;
  double y_m = 0.0;
  double topZ_m = 0.0;
  double yaw_rad = 0.0;
};

struct EstimatorNoise {
  double position_m = 0.0;  // standard deviation of x and y
  double yaw_rad = 0.0;     // standard deviation of the yaw
  std::uint32_t seed = 0;
};

struct Scene {
  double tableZ_m = 0.0;
  std::optional<TableExtent> tableExtent;  // when the scene gives it
  SceneTray tray;
  std::vector<SceneObject> objects;
  std::vector<SceneSlot> slots;
  std::optional<SceneTrayPlace> putDown;
  std::optional<EstimatorNoise> noise;
};

// Shown around the objects' starting places when the scene does not give the table's extent.
constexpr double kTableMargin_m = 0.15;

// The table's extent as given, or else the objects' starting footprints and the tray at its
// put-down place with kTableMargin_m around them (a square of twice that margin around R's
// origin when there is neither).
TableExtent tableExtent(const Scene& scene);

struct SceneParseResult {
  std::optional<Scene> scene;
  std::string error;  // set when scene is empty: what is wrong and on which line
};

SceneParseResult parseScene(const std::string& text);
SceneParseResult loadSceneFile(const std::string& path);

}  // namespace hirosim
