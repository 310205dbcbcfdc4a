// The image's data-port codec: Orvn::TimedImageData is marshalled member by member as
// the generated code does, except that the pixel chars move as one block. The octets are
// the same; include this header wherever an InPort or OutPort of the image is declared.
#pragma once

#include <rtm/CdrCodec.h>
#include <Orvn.hh>

namespace RTC {

template <>
struct CdrCodec<Orvn::TimedImageData> {
  static void marshal(const Orvn::TimedImageData& value, cdrStream& stream) {
    value.tm >>= stream;
    const Orvn::ImageData& image = value.data;
    image.nChannels >>= stream;
    image.depth >>= stream;
    image.origin >>= stream;
    image.width >>= stream;
    image.height >>= stream;
    image.imageSize >>= stream;
    marshalCharBlock(image.imgData, stream);
    image.widthStep >>= stream;
  }

  static void unmarshal(Orvn::TimedImageData& value, cdrStream& stream) {
    value.tm <<= stream;
    Orvn::ImageData& image = value.data;
    image.nChannels <<= stream;
    image.depth <<= stream;
    image.origin <<= stream;
    image.width <<= stream;
    image.height <<= stream;
    image.imageSize <<= stream;
    unmarshalCharBlock(image.imgData, stream);
    image.widthStep <<= stream;
  }
};

}  // namespace RTC
