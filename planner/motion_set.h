#pragma once

#include <optional>
#include <string>
#include <vector>

// The motion set: primitives (turn radius, speed) the base can drive for one period, read from
// a binary file and expanded with halved radii and speeds plus 33 fixed primitives.
//
// File layout, little-endian: int32 n; n records of two floats (radius mm, speed mm/s);
// n further records of two floats that are not used.
namespace planner {

struct RadiusSpeed {
  float r_mm = 0.0f;
  float v_mmps = 0.0f;
};

struct MotionPrimitive {
  float r_mm = 0.0f;
  float v_mmps = 0.0f;
  float vl_mmps = 0.0f;
  float vr_mmps = 0.0f;
};

constexpr int kFixedPrimitives = 33;

struct MotionFile {
  std::vector<RadiusSpeed> primitives;
  std::vector<RadiusSpeed> unusedRecords;
  std::string error;  // the console line that refuses the file; empty when it was read
};

// Reads the file. A missing file, or a count that is negative or does not match the file's
// size, gives an error line naming the file.
MotionFile readMotionFile(const std::string& fileName);

// A primitive written "RADIUS_MM:SPEED_MMPS" ("-1600:400"); nothing when the text is not
// exactly two finite numbers around one colon.
std::optional<RadiusSpeed> parseRadiusSpeed(const std::string& text);

// Writes a motion file with the given primitives (and as many zero unused records).
bool writeMotionFile(const std::string& fileName, const std::vector<RadiusSpeed>& primitives);

// The file's primitives, then with halved speed, halved radius, both halved, then the fixed
// primitives; each with its wheel speeds.
std::vector<MotionPrimitive> expandMotionSet(const std::vector<RadiusSpeed>& primitives);

// The console listing: the count line, then one line per entry numbered from 1.
std::string formatMotionSet(const std::vector<MotionPrimitive>& set);

}  // namespace planner
