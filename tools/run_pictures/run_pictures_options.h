#pragma once
// RunPictures' command line.

#include <optional>
#include <string>

#include "scene_sources.h"

namespace run_pictures {

constexpr double kDefaultSampleRate_hz = 10.0;
constexpr double kMaxSampleRate_hz = 50.0;  // the base is asked no more often than this
constexpr double kMinSampleRate_hz = 0.5;
constexpr double kDefaultStartWait_s = 30.0;

struct Options {
  std::string nameServer;
  std::string dir;
  std::string base = scene_views::kBaseComponent;
  std::string cell = scene_views::kCellComponent;
  double sampleRate_hz = kDefaultSampleRate_hz;
  double startWait_s = kDefaultStartWait_s;
  int width_px = 800;
  int height_px = 600;
};

// Fills `options`; nothing when the program is to go on, otherwise the exit status after the
// help, the version (0) or a usage error (2, with the reason and the usage).
std::optional<int> parseOptions(int argc, const char* const* argv, Options& options);

}  // namespace run_pictures
