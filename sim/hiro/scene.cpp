#include "scene.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace hirosim {
namespace {

constexpr double kRadPerDeg = M_PI / 180.0;

SceneParseResult failure(int line, const std::string& what) {
  return {std::nullopt, "scene line " + std::to_string(line) + ": " + what};
}

// Reads finite numbers up to the end of the line; false at anything else.
bool readNumberList(std::istringstream& in, std::vector<double>& values) {
  values.clear();
  std::string token;
  while (in >> token) {
    std::size_t used = 0;
    double value = 0.0;
    try {
      value = std::stod(token, &used);
    } catch (const std::exception&) {
      return false;
    }
    if (used != token.size() || !std::isfinite(value)) return false;
    values.push_back(value);
  }
  return true;
}

// Reads exactly `count` finite numbers from the rest of the line.
bool readNumbers(std::istringstream& in, int count, std::vector<double>& values) {
  return readNumberList(in, values) && static_cast<int>(values.size()) == count;
}

bool isWholeNumber(double value) { return value >= 0 && std::floor(value) == value; }

}  // namespace

SceneParseResult parseScene(const std::string& text) {
  Scene scene;
  bool haveTable = false;
  bool haveTray = false;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  std::vector<double> v;
  while (std::getline(lines, line)) {
    ++number;
    const auto hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream in(line);
    std::string keyword;
    if (!(in >> keyword)) continue;
    if (keyword == "table") {
      if (haveTable) return failure(number, "a second 'table' line");
      if (!readNumberList(in, v) || (v.size() != 1 && v.size() != 5)) {
        return failure(number,
                       "'table' needs 1 number: top_z_m, or 5: top_z_m min_x_m max_x_m "
                       "min_y_m max_y_m");
      }
      scene.tableZ_m = v[0];
      if (v.size() == 5) {
        if (v[1] >= v[2] || v[3] >= v[4]) {
          return failure(number, "the table's min_x_m and min_y_m must lie below max_x_m, max_y_m");
        }
        scene.tableExtent = TableExtent{v[1], v[2], v[3], v[4]};
      }
      haveTable = true;
    } else if (keyword == "tray") {
      if (haveTray) return failure(number, "a second 'tray' line");
      if (!readNumbers(in, 8, v)) {
        return failure(number,
                       "'tray' needs 8 numbers: x_m y_m top_z_m yaw_deg length_m width_m "
                       "thickness_m grip_height_m");
      }
      if (v[4] <= 0 || v[5] <= 0 || v[6] < 0 || v[7] < 0) {
        return failure(number,
                       "tray length and width must be positive, thickness and grip "
                       "height not negative");
      }
      scene.tray = {v[0], v[1], v[2], v[3] * kRadPerDeg, v[4], v[5], v[6], v[7]};
      haveTray = true;
    } else if (keyword == "object") {
      if (!readNumbers(in, 7, v)) {
        return failure(number,
                       "'object' needs 7 numbers: class_id depth_m width_m height_m x_m y_m "
                       "yaw_deg");
      }
      if (!isWholeNumber(v[0])) return failure(number, "class_id must be a whole number >= 0");
      if (v[1] <= 0 || v[2] <= 0 || v[3] <= 0) {
        return failure(number, "object depth, width and height must be positive");
      }
      scene.objects.push_back(
          {static_cast<long>(v[0]), v[1], v[2], v[3], v[4], v[5], v[6] * kRadPerDeg});
    } else if (keyword == "slot") {
      if (!readNumbers(in, 4, v)) {
        return failure(number, "'slot' needs 4 numbers: class_id slot along_m across_m");
      }
      if (!isWholeNumber(v[0]) || !isWholeNumber(v[1])) {
        return failure(number, "class_id and slot must be whole numbers >= 0");
      }
      scene.slots.push_back({static_cast<long>(v[0]), static_cast<int>(v[1]), v[2], v[3]});
    } else if (keyword == "putdown") {
      if (scene.putDown) return failure(number, "a second 'putdown' line");
      if (!readNumbers(in, 4, v)) {
        return failure(number, "'putdown' needs 4 numbers: x_m y_m top_z_m yaw_deg");
      }
      scene.putDown = SceneTrayPlace{v[0], v[1], v[2], v[3] * kRadPerDeg};
    } else if (keyword == "noise") {
      if (scene.noise) return failure(number, "a second 'noise' line");
      if (!readNumbers(in, 3, v)) {
        return failure(number, "'noise' needs 3 numbers: position_sd_m yaw_sd_deg seed");
      }
      if (v[0] < 0 || v[1] < 0 || !isWholeNumber(v[2]) || v[2] > 4294967295.0) {
        return failure(number,
                       "noise deviations must not be negative and the seed must be a "
                       "whole number below 2^32");
      }
      scene.noise = EstimatorNoise{v[0], v[1] * kRadPerDeg, static_cast<std::uint32_t>(v[2])};
    } else {
      return failure(number, "unknown keyword '" + keyword + "'");
    }
  }
  if (!haveTable) return {std::nullopt, "scene: no 'table' line"};
  if (!haveTray) return {std::nullopt, "scene: no 'tray' line"};
  return {scene, ""};
}

TableExtent tableExtent(const Scene& scene) {
  if (scene.tableExtent) return *scene.tableExtent;
  std::optional<TableExtent> extent;
  // Whatever the yaw, a footprint lies within its half diagonal of its centre.
  const auto include = [&extent](double x_m, double y_m, double halfDiagonal_m) {
    const double reach_m = halfDiagonal_m + kTableMargin_m;
    if (!extent) extent = TableExtent{x_m, x_m, y_m, y_m};
    extent->minX_m = std::min(extent->minX_m, x_m - reach_m);
    extent->maxX_m = std::max(extent->maxX_m, x_m + reach_m);
    extent->minY_m = std::min(extent->minY_m, y_m - reach_m);
    extent->maxY_m = std::max(extent->maxY_m, y_m + reach_m);
  };
  for (const SceneObject& object : scene.objects) {
    include(object.x_m, object.y_m, std::hypot(object.depth_m, object.width_m) / 2.0);
  }
  if (scene.putDown) {
    include(scene.putDown->x_m, scene.putDown->y_m,
            std::hypot(scene.tray.length_m, scene.tray.width_m) / 2.0);
  }
  return extent.value_or(
      TableExtent{-kTableMargin_m, kTableMargin_m, -kTableMargin_m, kTableMargin_m});
}

SceneParseResult loadSceneFile(const std::string& path) {
  std::ifstream file(path);
  if (!file) return {std::nullopt, "cannot open scene file " + path};
  std::ostringstream text;
  text << file.rdbuf();
  SceneParseResult result = parseScene(text.str());
  if (!result.scene) result.error = path + ": " + result.error;
  return result;
}

}  // namespace hirosim
