#include "room_world.h"

#include <cmath>
#include <cstdio>

#include <planner/grid_geometry.h>

namespace planner::fakes {
namespace {

constexpr double kMPerCell = 0.05;
constexpr double kWallHalfWidth_m = 0.05;
constexpr float kOccupied = 1.0f;
constexpr float kFree = 0.0f;
constexpr float kUnknown = 0.5f;
constexpr double kStraight_radps = 1e-12;

std::string formatted(const char* pattern, double a, double b) {
  char text[96];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

}  // namespace

void RoomWorld::command(double vx_mps, double va_radps) { velocity_ = {vx_mps, va_radps}; }

void RoomWorld::advance(double elapsed_s) {
  const double v = velocity_.vx_mps;
  const double w = velocity_.va_radps;
  const double h = pose_.heading_rad;
  if (std::fabs(w) < kStraight_radps) {
    pose_.x_m += v * elapsed_s * std::cos(h);
    pose_.y_m += v * elapsed_s * std::sin(h);
    return;
  }
  const double turned = h + w * elapsed_s;
  pose_.x_m += v / w * (std::sin(turned) - std::sin(h));
  pose_.y_m += v / w * (std::cos(h) - std::cos(turned));
  pose_.heading_rad = std::remainder(turned, 2 * M_PI);
}

float RoomWorld::sense(double x_m, double y_m) const {
  const bool insideX =
      x_m > room_.west_m - kWallHalfWidth_m && x_m < room_.east_m + kWallHalfWidth_m;
  const bool insideY =
      y_m > room_.south_m - kWallHalfWidth_m && y_m < room_.north_m + kWallHalfWidth_m;
  if (!insideX || !insideY) return kUnknown;
  const bool nearWall = std::fabs(x_m - room_.west_m) < kWallHalfWidth_m ||
                        std::fabs(x_m - room_.east_m) < kWallHalfWidth_m ||
                        std::fabs(y_m - room_.south_m) < kWallHalfWidth_m ||
                        std::fabs(y_m - room_.north_m) < kWallHalfWidth_m;
  return nearWall ? kOccupied : kFree;
}

std::vector<float> RoomWorld::relativeMap() const {
  std::vector<float> cells(kGridCells * kGridCells);
  const double c = std::cos(pose_.heading_rad);
  const double s = std::sin(pose_.heading_rad);
  for (int mx = 0; mx < kGridCells; ++mx) {
    for (int my = 0; my < kGridCells; ++my) {
      const double right_m = (mx - kRobotCell) * kMPerCell;
      const double ahead_m = (kRobotCell - my) * kMPerCell;
      const double x_m = pose_.x_m + ahead_m * c + right_m * s;
      const double y_m = pose_.y_m + ahead_m * s - right_m * c;
      cells[(kGridCells - 1 - mx) * kGridCells + (kGridCells - 1 - my)] = sense(x_m, y_m);
    }
  }
  return cells;
}

RoomWorldPorts::RoomWorldPorts(RoomWorld& world, MillisecondClock& clock)
    : world_(world), clock_(clock), worldTime_ms_(clock.now_ms()) {}

void RoomWorldPorts::catchUp() {
  const std::uint32_t now_ms = clock_.now_ms();
  world_.advance((now_ms - worldTime_ms_) / 1000.0);
  worldTime_ms_ = now_ms;
}

void RoomWorldPorts::note(const std::string& event) {
  events.push_back("cycle " + std::to_string(cycle) + ": " + event);
}

void RoomWorldPorts::sendMessage(const std::string& text) {
  FakePlannerPorts::sendMessage(text);
  note("word " + text);
}

void RoomWorldPorts::sendVelocity(double vx_mps, double va_radps) {
  catchUp();
  FakePlannerPorts::sendVelocity(vx_mps, va_radps);
  world_.command(vx_mps, va_radps);
  note(formatted("command vx=%.9g va=%.9g", vx_mps, va_radps));
}

MapFetch RoomWorldPorts::fetchMap() {
  catchUp();
  for (std::uint32_t i = 0; i < mapRequest_ms; ++i) clock_.sleepOneMillisecond();
  cells = mapOverride ? *mapOverride : world_.relativeMap();
  mapOverride.reset();
  return FakePlannerPorts::fetchMap();
}

bool RoomWorldPorts::poseIsNew() {
  if (posePollsBeforeArrival == 0) return true;
  --posePollsBeforeArrival;
  return false;
}

OdometryPose RoomWorldPorts::readPose() {
  catchUp();
  return world_.pose();
}

OdometryVelocity RoomWorldPorts::readVelocity() {
  catchUp();
  const OdometryVelocity measured = velocityOverride.value_or(world_.velocity());
  velocityOverride.reset();
  return measured;
}

void RoomWorldPorts::publishImage(const cv::Mat& image) {
  char digest[32];
  std::snprintf(digest, sizeof digest, "%016llx",
                static_cast<unsigned long long>(imageDigest(image)));
  note(std::string("image ") + digest);
}

std::uint64_t imageDigest(const cv::Mat& image) {
  std::uint64_t hash = 14695981039346656037ull;
  for (int y = 0; y < image.rows; ++y) {
    const std::uint8_t* row = image.ptr(y);
    for (std::size_t i = 0; i < image.cols * image.elemSize(); ++i) {
      hash ^= row[i];
      hash *= 1099511628211ull;
    }
  }
  return hash;
}

}  // namespace planner::fakes
