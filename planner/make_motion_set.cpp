// Writes a motion set file for the planner: "make_motion_set FILE [RADIUS_MM:SPEED_MMPS]...".
// With no primitives the file holds only the count 0, and the planner uses its 33 fixed
// primitives.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "motion_set.h"

namespace {

bool parsePrimitive(const std::string& text, planner::RadiusSpeed& primitive) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  char* end = nullptr;
  primitive.r_mm = std::strtof(text.c_str(), &end);
  if (end != text.c_str() + colon) return false;
  const char* speed = text.c_str() + colon + 1;
  primitive.v_mmps = std::strtof(speed, &end);
  return end != speed && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [RADIUS_MM:SPEED_MMPS]...\n", argv[0]);
    return 2;
  }
  std::vector<planner::RadiusSpeed> primitives;
  for (int i = 2; i < argc; ++i) {
    planner::RadiusSpeed primitive;
    if (!parsePrimitive(argv[i], primitive)) {
      std::fprintf(stderr, "not a RADIUS_MM:SPEED_MMPS pair: %s\n", argv[i]);
      return 2;
    }
    primitives.push_back(primitive);
  }
  if (!planner::writeMotionFile(argv[1], primitives)) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
