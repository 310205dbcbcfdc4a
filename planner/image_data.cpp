#include "image_data.h"

#include <cstring>

namespace planner {
namespace {

constexpr CORBA::Long kBitsPerByte = 8;
constexpr CORBA::Long kTopLeftOrigin = 0;

}  // namespace

void toImageData(const cv::Mat& image, Orvn::TimedImageData& out) {
  const std::size_t rowBytes = image.cols * image.elemSize();
  const std::size_t imageBytes = rowBytes * image.rows;
  Orvn::ImageData& data = out.data;
  data.nChannels = image.channels();
  data.depth = static_cast<CORBA::Long>(image.elemSize1()) * kBitsPerByte;
  data.origin = kTopLeftOrigin;
  data.width = image.cols;
  data.height = image.rows;
  data.imageSize = static_cast<CORBA::Long>(imageBytes);
  data.widthStep = static_cast<CORBA::Long>(rowBytes);
  data.imgData.length(static_cast<CORBA::ULong>(imageBytes));
  CORBA::Char* target = data.imgData.get_buffer();
  for (int y = 0; y < image.rows; ++y) std::memcpy(target + y * rowBytes, image.ptr(y), rowBytes);
}

MapReplyView viewOf(const Zemla::TimedFloatRelativeOGMapData& reply) {
  return MapReplyView{reply.mapconfig.width, reply.mapconfig.height, reply.cells.get_buffer(),
                      reply.cells.length()};
}

}  // namespace planner
