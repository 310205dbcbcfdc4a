#pragma once
// A received planning image sample as image_frame.h reads it. Header only, for the programs
// that receive the planner's `planning_img` port (they link the IDL; plan_viewer_core does not).
#include <Orvn.hh>

#include <cstdint>

#include "image_frame.h"

namespace planviewer {

// The sample's header fields and pixel bytes; the bytes stay the sample's, valid while it is.
inline RawImage rawImageOf(const Orvn::ImageData& data) {
  RawImage raw;
  raw.nChannels = data.nChannels;
  raw.depth = data.depth;
  raw.origin = data.origin;
  raw.width = data.width;
  raw.height = data.height;
  raw.imageSize = data.imageSize;
  raw.widthStep = data.widthStep;
  raw.bytes = reinterpret_cast<const std::uint8_t*>(data.imgData.get_buffer());
  raw.byteCount = data.imgData.length();
  return raw;
}

}  // namespace planviewer
