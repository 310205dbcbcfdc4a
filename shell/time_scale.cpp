#include "time_scale.h"

#include <coil/stringutil.h>

#include <cmath>

namespace shell {

std::optional<double> parseTimeScale(const std::string& text) {
  double scale = 0.0;
  if (!coil::stringTo(scale, text.c_str()) || !std::isfinite(scale) || !(scale > 0.0))
    return std::nullopt;
  return scale;
}

double timeScaleOf(const coil::Properties& config) {
  if (!config.hasKey(kTimeScaleKey)) return 1.0;
  return parseTimeScale(config.getProperty(kTimeScaleKey)).value_or(1.0);
}

}  // namespace shell
