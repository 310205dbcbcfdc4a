#pragma once

#include <opencv2/core.hpp>

#include <Orvn.hh>
#include <Zemla.hh>

#include "map_grid_build.h"

// Conversions between the planner's plain data and the IDL types of its ports.
namespace planner {

// Fills the image members of `out` from an 8-bit image: header values, the pixel bytes row
// after row, and widthStep (bytes per row, no padding). The time stamp is left as it is.
void toImageData(const cv::Mat& image, Orvn::TimedImageData& out);

// What the grid build reads of a map reply; valid while the reply lives.
MapReplyView viewOf(const Zemla::TimedFloatRelativeOGMapData& reply);

}  // namespace planner
