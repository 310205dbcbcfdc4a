#include "motion_set.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "prediction.h"

namespace planner {
namespace {

constexpr std::size_t kCountBytes = 4;
constexpr std::size_t kRecordBytes = 8;

constexpr std::array<RadiusSpeed, kFixedPrimitives> kFixed = {{
    {0, 300},     {1600, 300},  {-1600, 300}, {1200, 300},  {-1200, 300}, {800, 300},   {-800, 300},
    {0, 400},     {1600, 400},  {-1600, 400}, {0, 500},     {1600, 500},  {-1600, 500}, {0, 600},
    {1600, 600},  {-1600, 600}, {0, 700},     {1600, 700},  {-1600, 700}, {1200, 700},  {-800, 400},
    {1200, 500},  {-1200, 500}, {1200, 600},  {-1200, 600}, {-1200, 700}, {0, 200},     {1600, 200},
    {-1600, 200}, {1200, 200},  {-1200, 200}, {800, 200},   {-800, 200},
}};

std::string refusal(const std::string& fileName, const std::string& why) {
  return "ERROR : motion data file (" + fileName + ") " + why + ". exit.\n";
}

std::int32_t readInt32(const unsigned char* bytes) {
  return static_cast<std::int32_t>(std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                                   std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24);
}

float readFloat(const unsigned char* bytes) {
  const auto bits = static_cast<std::uint32_t>(readInt32(bytes));
  float value;
  static_assert(sizeof value == sizeof bits);
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void appendInt32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(value >> shift));
}

void appendFloat(std::string& out, float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  appendInt32(out, bits);
}

std::vector<RadiusSpeed> readRecords(const unsigned char* bytes, std::size_t count) {
  std::vector<RadiusSpeed> records(count);
  for (std::size_t i = 0; i < count; ++i)
    records[i] =
        RadiusSpeed{readFloat(bytes + i * kRecordBytes), readFloat(bytes + i * kRecordBytes + 4)};
  return records;
}

}  // namespace

MotionFile readMotionFile(const std::string& fileName) {
  MotionFile result;
  std::ifstream file(fileName, std::ios::binary);
  if (!file) {
    result.error = refusal(fileName, "is nothing");
    return result;
  }
  const std::string content((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
  const auto* bytes = reinterpret_cast<const unsigned char*>(content.data());
  if (content.size() < kCountBytes) {
    result.error =
        refusal(fileName, "has no primitive count (" + std::to_string(content.size()) + " bytes)");
    return result;
  }
  const std::int32_t count = readInt32(bytes);
  if (count < 0) {
    result.error = refusal(fileName, "has a negative primitive count " + std::to_string(count));
    return result;
  }
  const std::size_t expected = kCountBytes + 2 * kRecordBytes * static_cast<std::size_t>(count);
  if (content.size() != expected) {
    result.error =
        refusal(fileName, "holds " + std::to_string(content.size()) + " bytes, but its count " +
                              std::to_string(count) + " needs " + std::to_string(expected));
    return result;
  }
  result.primitives = readRecords(bytes + kCountBytes, count);
  result.unusedRecords = readRecords(bytes + kCountBytes + kRecordBytes * count, count);
  return result;
}

std::optional<RadiusSpeed> parseRadiusSpeed(const std::string& text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0) return std::nullopt;
  char* end = nullptr;
  RadiusSpeed primitive;
  primitive.r_mm = std::strtof(text.c_str(), &end);
  if (end != text.c_str() + colon) return std::nullopt;
  const char* speed = text.c_str() + colon + 1;
  primitive.v_mmps = std::strtof(speed, &end);
  if (end == speed || *end != '\0') return std::nullopt;
  if (!std::isfinite(primitive.r_mm) || !std::isfinite(primitive.v_mmps)) return std::nullopt;
  return primitive;
}

bool writeMotionFile(const std::string& fileName, const std::vector<RadiusSpeed>& primitives) {
  std::string out;
  appendInt32(out, static_cast<std::uint32_t>(primitives.size()));
  for (const RadiusSpeed& primitive : primitives) {
    appendFloat(out, primitive.r_mm);
    appendFloat(out, primitive.v_mmps);
  }
  out.append(primitives.size() * kRecordBytes, '\0');
  std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}

std::vector<MotionPrimitive> expandMotionSet(const std::vector<RadiusSpeed>& primitives) {
  std::vector<RadiusSpeed> entries;
  entries.reserve(4 * primitives.size() + kFixedPrimitives);
  for (const RadiusSpeed& p : primitives) entries.push_back(p);
  for (const RadiusSpeed& p : primitives) entries.push_back({p.r_mm, p.v_mmps / 2});
  for (const RadiusSpeed& p : primitives) entries.push_back({p.r_mm / 2, p.v_mmps});
  for (const RadiusSpeed& p : primitives) entries.push_back({p.r_mm / 2, p.v_mmps / 2});
  entries.insert(entries.end(), kFixed.begin(), kFixed.end());

  std::vector<MotionPrimitive> set;
  set.reserve(entries.size());
  for (const RadiusSpeed& entry : entries) {
    const WheelSpeeds wheels = primitiveWheelSpeeds(entry.v_mmps, entry.r_mm);
    set.push_back(MotionPrimitive{entry.r_mm, entry.v_mmps, wheels.left_mmps, wheels.right_mmps});
  }
  return set;
}

std::string formatMotionSet(const std::vector<MotionPrimitive>& set) {
  char line[160];
  std::snprintf(line, sizeof line, "Number of motion set = %d\n", static_cast<int>(set.size()));
  std::string text = line;
  for (std::size_t i = 0; i < set.size(); ++i) {
    std::snprintf(line, sizeof line, "[%d]:r=%.2f\tv=%.2f\tvr=%.2f\tvl=%.2f\n",
                  static_cast<int>(i + 1), set[i].r_mm, set[i].v_mmps, set[i].vr_mmps,
                  set[i].vl_mmps);
    text += line;
  }
  return text;
}

}  // namespace planner
