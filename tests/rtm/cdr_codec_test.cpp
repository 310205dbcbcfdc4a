#include "manager_environment.h"

#include <idl/OrvnCdrCodec.h>
#include <rtm/CdrCodec.h>
#include <rtm/idl/BasicDataTypeSkel.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new rtm_test::ManagerEnvironment);

std::vector<unsigned char> bytesOf(cdrMemoryStream& stream) {
  const unsigned char* begin = static_cast<const unsigned char*>(stream.bufPtr());
  return std::vector<unsigned char>(begin, begin + stream.bufSize());
}

template <class T>
std::vector<unsigned char> generatedBytes(const T& value, bool little_endian) {
  cdrMemoryStream stream;
  RTC::setStreamByteOrder(stream, little_endian);
  value >>= stream;
  return bytesOf(stream);
}

template <class T>
std::vector<unsigned char> codecBytes(const T& value, bool little_endian) {
  cdrMemoryStream stream;
  RTC::setStreamByteOrder(stream, little_endian);
  RTC::CdrCodec<T>::marshal(value, stream);
  return bytesOf(stream);
}

// An image whose pixel chars take every octet value, of `length` bytes.
Orvn::TimedImageData imageOf(CORBA::ULong length, unsigned seed) {
  std::mt19937 random(seed);
  Orvn::TimedImageData image;
  image.tm.sec = 17;
  image.tm.nsec = 99;
  image.data.nChannels = 3;
  image.data.depth = 8;
  image.data.origin = 0;
  image.data.width = 400;
  image.data.height = 400;
  image.data.imageSize = static_cast<CORBA::Long>(length);
  image.data.imgData.length(length);
  for (CORBA::ULong i = 0; i < length; ++i)
    image.data.imgData[i] = static_cast<CORBA::Char>(i < 256 ? i : random() & 0xff);
  image.data.widthStep = 1200;
  return image;
}

TEST(CdrBytes, timedStringMatchesTheWireExample) {
  RTC::TimedString sample;
  sample.tm.sec = 1;
  sample.tm.nsec = 2;
  sample.data = "hi";
  const std::vector<unsigned char> expected = {0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                                               0x03, 0x00, 0x00, 0x00, 0x68, 0x69, 0x00};
  EXPECT_EQ(codecBytes(sample, true), expected);
}

TEST(CharBlock, imageOctetsEqualTheGeneratedMarshallerInBothByteOrders) {
  // Odd lengths leave widthStep unaligned after the pixels: its padding must match too.
  for (CORBA::ULong length : {0u, 1u, 3u, 256u, 257u, 480000u}) {
    const Orvn::TimedImageData image = imageOf(length, length);
    for (bool little : {true, false}) {
      const std::vector<unsigned char> generated = generatedBytes(image, little);
      const std::vector<unsigned char> block = codecBytes(image, little);
      ASSERT_EQ(block.size(), generated.size()) << "length " << length;
      EXPECT_TRUE(block == generated) << "length " << length << (little ? " little" : " big");
    }
  }
}

TEST(CharBlock, blockReadGivesBackWhatTheGeneratedMarshallerWrote) {
  const Orvn::TimedImageData image = imageOf(1201, 7);
  for (bool little : {true, false}) {
    cdrMemoryStream written;
    RTC::setStreamByteOrder(written, little);
    image >>= written;
    cdrMemoryStream reading(written.bufPtr(), written.bufSize());
    RTC::setStreamByteOrder(reading, little);
    Orvn::TimedImageData back;
    RTC::CdrCodec<Orvn::TimedImageData>::unmarshal(back, reading);
    EXPECT_EQ(back.tm.sec, 17u);
    EXPECT_EQ(back.data.widthStep, 1200);
    ASSERT_EQ(back.data.imgData.length(), 1201u);
    bool same = true;
    for (CORBA::ULong i = 0; i < 1201; ++i)
      same = same && back.data.imgData[i] == image.data.imgData[i];
    EXPECT_TRUE(same);
  }
}

TEST(CharBlock, truncatedImageRaisesMarshalInsteadOfReadingPastTheEnd) {
  const Orvn::TimedImageData image = imageOf(1000, 3);
  cdrMemoryStream written;
  RTC::CdrCodec<Orvn::TimedImageData>::marshal(image, written);
  cdrMemoryStream reading(written.bufPtr(), 200);
  Orvn::TimedImageData back;
  EXPECT_THROW(RTC::CdrCodec<Orvn::TimedImageData>::unmarshal(back, reading), CORBA::MARSHAL);
}

TEST(CharBlock, memoryStreamsCarryCharsAsOctets) {
  cdrMemoryStream stream;
  EXPECT_TRUE(RTC::charsAreOctets(stream));
}

}  // namespace
