#include "floor_plan.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace basesim {
namespace {

constexpr double kDegToRad = M_PI / 180.0;
constexpr double kMinWallLength_m = 1e-6;

FloorPlanResult failure(const std::string& sourceName, int lineNumber, const std::string& what) {
  FloorPlanResult result;
  result.error = sourceName + ":" + std::to_string(lineNumber) + ": " + what;
  return result;
}

// Reads exactly `count` finite numbers from the rest of the line; false on anything else.
bool readNumbers(std::istringstream& words, int count, double* out) {
  for (int i = 0; i < count; ++i) {
    std::string word;
    if (!(words >> word)) return false;
    char* end = nullptr;
    out[i] = std::strtod(word.c_str(), &end);
    if (end == word.c_str() || *end != '\0' || !std::isfinite(out[i])) return false;
  }
  std::string extra;
  return !(words >> extra);
}

}  // namespace

FloorPlanResult parseFloorPlan(std::istream& text, const std::string& sourceName) {
  FloorPlan plan;
  bool haveStart = false;
  std::string line;
  int lineNumber = 0;
  while (std::getline(text, line)) {
    ++lineNumber;
    const auto hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string keyword;
    if (!(words >> keyword)) continue;
    double n[4];
    if (keyword == "start") {
      if (haveStart) return failure(sourceName, lineNumber, "second 'start' line");
      if (!readNumbers(words, 3, n))
        return failure(sourceName, lineNumber, "'start' needs x_m y_m heading_deg");
      plan.start = {n[0], n[1], n[2] * kDegToRad};
      haveStart = true;
    } else if (keyword == "wall") {
      if (!readNumbers(words, 4, n))
        return failure(sourceName, lineNumber, "'wall' needs x1_m y1_m x2_m y2_m");
      if (std::hypot(n[2] - n[0], n[3] - n[1]) < kMinWallLength_m)
        return failure(sourceName, lineNumber, "'wall' has zero length");
      plan.walls.push_back({{n[0], n[1]}, {n[2], n[3]}});
    } else if (keyword == "rect") {
      if (!readNumbers(words, 4, n))
        return failure(sourceName, lineNumber, "'rect' needs x1_m y1_m x2_m y2_m");
      if (n[0] == n[2] || n[1] == n[3])
        return failure(sourceName, lineNumber, "'rect' has zero width or height");
      const WorldPoint corners[4] = {{n[0], n[1]}, {n[2], n[1]}, {n[2], n[3]}, {n[0], n[3]}};
      for (int i = 0; i < 4; ++i) plan.walls.push_back({corners[i], corners[(i + 1) % 4]});
    } else if (keyword == "arrival" || keyword == "finish") {
      std::optional<WorldPoint>& point = keyword == "arrival" ? plan.arrival : plan.finish;
      if (point) return failure(sourceName, lineNumber, "second '" + keyword + "' line");
      if (!readNumbers(words, 2, n))
        return failure(sourceName, lineNumber, "'" + keyword + "' needs x_m y_m");
      point = WorldPoint{n[0], n[1]};
    } else {
      return failure(sourceName, lineNumber, "unknown keyword '" + keyword + "'");
    }
  }
  if (!haveStart) {
    FloorPlanResult result;
    result.error = sourceName + ": no 'start' line";
    return result;
  }
  FloorPlanResult result;
  result.ok = true;
  result.plan = std::move(plan);
  return result;
}

FloorPlanResult loadFloorPlan(const std::string& path) {
  std::ifstream file(path);
  if (!file) {
    FloorPlanResult result;
    result.error = path + ": cannot open the floor plan file";
    return result;
  }
  return parseFloorPlan(file, path);
}

}  // namespace basesim
