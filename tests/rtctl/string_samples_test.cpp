#include "tools/rtctl/string_samples.h"

#include <gtest/gtest.h>

namespace rtctl {
namespace {

// String marshalling uses the ORB's code-set converters, which exist once an ORB does.
class OrbEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    int argc = 1;
    char name[] = "string_samples_test";
    char* argv[] = {name, nullptr};
    orb_ = CORBA::ORB_init(argc, argv);
  }
  void TearDown() override { orb_->destroy(); }

 private:
  CORBA::ORB_var orb_;
};

const auto* const kOrbEnvironment = ::testing::AddGlobalTestEnvironment(new OrbEnvironment);

std::string hex(const OpenRTM::CdrData& data) {
  static const char* const kDigits = "0123456789abcdef";
  std::string text;
  for (CORBA::ULong i = 0; i < data.length(); ++i) {
    text += kDigits[data[i] >> 4];
    text += kDigits[data[i] & 15];
  }
  return text;
}

TEST(StringSamples, aTimedStringIsPlainLittleEndianCdrFromOffsetZero) {
  EXPECT_EQ(hex(encodeStringSample(StringSampleType::TimedString, "hi", 1, 2)),
            "01000000"
            "02000000"
            "03000000"
            "686900");
}

TEST(StringSamples, bigEndianWhenAsked) {
  EXPECT_EQ(hex(encodeStringSample(StringSampleType::TimedString, "hi", 1, 2, false)),
            "00000001"
            "00000002"
            "00000003"
            "686900");
}

TEST(StringSamples, aTimedStringSeqCarriesOneElement) {
  EXPECT_EQ(hex(encodeStringSample(StringSampleType::TimedStringSeq, "ok", 0, 0)),
            "00000000"
            "00000000"
            "01000000"
            "03000000"
            "6f6b00");
}

TEST(StringSamples, decodingGivesBackTheText) {
  for (auto type : {StringSampleType::TimedString, StringSampleType::TimedStringSeq}) {
    auto strings = decodeStringSample(type, encodeStringSample(type, "HIRO_OBJ_MANIP_START", 5, 6));
    ASSERT_TRUE(strings.has_value());
    EXPECT_EQ(*strings, std::vector<std::string>{"HIRO_OBJ_MANIP_START"});
  }
}

TEST(StringSamples, truncatedOctetsAreRejected) {
  OpenRTM::CdrData data = encodeStringSample(StringSampleType::TimedString, "hello", 1, 2);
  data.length(data.length() - 3);
  EXPECT_FALSE(decodeStringSample(StringSampleType::TimedString, data).has_value());
  data.length(4);
  EXPECT_FALSE(decodeStringSample(StringSampleType::TimedString, data).has_value());
}

TEST(StringSamples, onlyStringTypesAreRecognised) {
  EXPECT_EQ(stringSampleTypeOf("IDL:RTC/TimedString:1.0"), StringSampleType::TimedString);
  EXPECT_EQ(stringSampleTypeOf("TimedStringSeq"), StringSampleType::TimedStringSeq);
  EXPECT_FALSE(stringSampleTypeOf("IDL:RTC/TimedLong:1.0").has_value());
  EXPECT_FALSE(stringSampleTypeOf("").has_value());
}

}  // namespace
}  // namespace rtctl
