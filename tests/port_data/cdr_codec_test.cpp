#include "tools/port_data/cdr_codec.h"

#include <gtest/gtest.h>

#include "sample_values.h"

namespace port_data {
namespace {

std::string hex(const Bytes& octets) {
  static const char* const kDigits = "0123456789abcdef";
  std::string text;
  for (std::uint8_t octet : octets) {
    text += kDigits[octet >> 4];
    text += kDigits[octet & 15];
  }
  return text;
}

Value words(const std::vector<std::string>& texts, std::uint32_t sec, std::uint32_t nsec) {
  Value::Items items;
  for (const auto& text : texts) items.push_back(Value{text});
  return Value{Value::Items{timeValue(sec, nsec), Value{std::move(items)}}};
}

const TypeDesc& type(const char* name) { return *findType(name); }

TEST(CdrCodec, aTimedStringIsPlainLittleEndianCdrFromOffsetZero) {
  Value sample{Value::Items{timeValue(1, 2), Value{std::string("hi")}}};
  EXPECT_EQ(hex(encodeSample(type("TimedString"), sample)),
            "01000000"
            "02000000"
            "03000000"
            "686900");
  EXPECT_EQ(hex(encodeSample(type("TimedString"), sample, false)),
            "00000001"
            "00000002"
            "00000003"
            "686900");
}

TEST(CdrCodec, aTimedStringSeqCarriesItsElementCount) {
  EXPECT_EQ(hex(encodeSample(type("TimedStringSeq"), words({"ok"}, 0, 0))),
            "00000000"
            "00000000"
            "01000000"
            "03000000"
            "6f6b00");
}

TEST(CdrCodec, doublesAreAlignedToEightFromOffsetZero) {
  // tm (8 octets), id length 0 (4), then 4 octets of padding before vx.
  Value sample = defaultValue(type("Pexa::TimedVelocity2D"));
  sample.items()[2].items()[0] = Value{1.0};
  const Bytes octets = encodeSample(type("Pexa::TimedVelocity2D"), sample);
  EXPECT_EQ(hex(Bytes(octets.begin() + 8, octets.begin() + 24)),
            "00000000"
            "00000000"
            "000000000000f03f");
  EXPECT_EQ(octets.size(), 8u + 4 + 4 + 24 + 4);
}

TEST(CdrCodec, everyTypeReadsBackWhatItWrote) {
  for (const TypeDesc* structType : structTypes()) {
    const Value sample = sampleValue(*structType);
    for (bool littleEndian : {true, false}) {
      auto decoded =
          decodeSample(*structType, encodeSample(*structType, sample, littleEndian), littleEndian);
      ASSERT_TRUE(decoded) << structType->name << ": " << decoded.error();
      EXPECT_EQ(*decoded, sample) << structType->name;
    }
  }
}

TEST(CdrCodec, octetsThatAreNotTheTypeAreRefusedWithTheReason) {
  const TypeDesc& text = type("TimedString");
  Bytes octets =
      encodeSample(text, Value{Value::Items{timeValue(1, 2), Value{std::string("hello")}}});
  Bytes cut(octets.begin(), octets.end() - 3);
  auto decoded = decodeSample(text, cut);
  ASSERT_FALSE(decoded);
  EXPECT_NE(decoded.error().find("RTC::TimedString"), std::string::npos) << decoded.error();
  EXPECT_NE(decoded.error().find("ends after"), std::string::npos) << decoded.error();

  Bytes longer = octets;
  longer.push_back(0);
  decoded = decodeSample(text, longer);
  ASSERT_FALSE(decoded);
  EXPECT_NE(decoded.error().find("left over"), std::string::npos) << decoded.error();

  octets.back() = 'x';
  EXPECT_FALSE(decodeSample(text, octets));

  Bytes flag =
      encodeSample(type("TimedBoolean"), Value{Value::Items{timeValue(0, 0), Value{true}}});
  flag.back() = 2;
  EXPECT_FALSE(decodeSample(type("TimedBoolean"), flag));
}

TEST(CdrCodec, aHugeSequenceCountIsRefusedWithoutAllocating) {
  // tm, then a count of 2^32-1 poses in 8 octets.
  Bytes octets = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0};
  auto decoded = decodeSample(type("Pexa::TimedPose2DSeq"), octets);
  ASSERT_FALSE(decoded);
  EXPECT_NE(decoded.error().find("4294967295 elements"), std::string::npos) << decoded.error();
}

}  // namespace
}  // namespace port_data
