#include "tools/port_data/text_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "sample_values.h"
#include "tests/support/temp_dir.h"
#include "tools/port_data/image_files.h"

namespace port_data {
namespace {

const TypeDesc& type(const char* name) { return *findType(name); }

Value parsed(const TypeDesc& type, const std::string& line, const ParseOptions& options = {}) {
  auto value = parseLine(type, line, options);
  EXPECT_TRUE(value) << line << ": " << value.error();
  return value ? value.value() : defaultValue(type);
}

std::string refusal(const TypeDesc& type, const std::string& line) {
  auto value = parseLine(type, line);
  EXPECT_FALSE(value) << line;
  return value ? "" : value.error();
}

TEST(TextForm, aVelocityCommandReadsWithItsFieldsAndUnits) {
  Value command = defaultValue(type("Pexa::TimedVelocity2D"));
  command.items()[2].items()[0] = Value{0.3};
  command.items()[2].items()[2] = Value{-0.1};
  EXPECT_EQ(formatLine(type("Pexa::TimedVelocity2D"), command),
            "tm: 0.000000000, id: [], data: {vx: 0.3 m/s, vy: 0 m/s, va: -0.1 rad/s}, error: []");
}

TEST(TextForm, aPoseShowsItsStampAndNestedPosition) {
  Value pose = defaultValue(type("RTC::TimedPose2D"));
  pose.items()[0] = timeValue(1712345678, 1);
  pose.items()[1].items()[0].items()[0] = Value{1.25};
  pose.items()[1].items()[1] = Value{M_PI / 2};
  EXPECT_EQ(formatLine(type("RTC::TimedPose2D"), pose),
            "tm: 1712345678.000000001, data: {position: {x: 1.25 m, y: 0 m}, heading: "
            "1.5707963267948966 rad}");
}

TEST(TextForm, everyTypeReadsBackItsOwnLineExactly) {
  for (const TypeDesc* structType : structTypes()) {
    const Value sample = sampleValue(*structType);
    const std::string line = formatLine(*structType, sample);
    auto back = parseLine(*structType, line);
    ASSERT_TRUE(back) << structType->name << ": " << line << "\n" << back.error();
    EXPECT_EQ(formatLine(*structType, *back), line) << structType->name;
    if (!isWordType(*structType)) {
      EXPECT_EQ(*back, sample) << structType->name << ": " << line;
    }
  }
}

TEST(TextForm, wordsAreTheirTextAndTabsSeparateTheElementsOfASequence) {
  ParseOptions now;
  now.stampSec = 5;
  const Value word = parsed(type("TimedString"), "HIRO_OBJ_MANIP_START now", now);
  EXPECT_EQ(word.items()[1].asString(), "HIRO_OBJ_MANIP_START now");
  EXPECT_EQ(word.items()[0], timeValue(5, 0));
  EXPECT_EQ(formatLine(type("TimedString"), word), "HIRO_OBJ_MANIP_START now");

  const Value sequence = parsed(type("TimedStringSeq"), "a\tb c");
  ASSERT_EQ(sequence.items()[1].items().size(), 2u);
  EXPECT_EQ(sequence.items()[1].items()[1].asString(), "b c");
  EXPECT_EQ(formatLine(type("TimedStringSeq"), sequence), "a\tb c");
}

TEST(TextForm, leftOutFieldsAreZeroAndTheStampIsTheGivenTime) {
  ParseOptions now;
  now.stampSec = 100;
  now.stampNsec = 42;
  const Value command = parsed(type("Pexa::TimedVelocity2D"), "data: {vx: 0.1}", now);
  EXPECT_EQ(command.items()[0], timeValue(100, 42));
  EXPECT_EQ(command.items()[2].items()[0].asNumber(), 0.1);
  EXPECT_EQ(command.items()[2].items()[2].asNumber(), 0.0);
  // In any order, with or without units, in braces or not.
  EXPECT_EQ(parsed(type("Pexa::TimedVelocity2D"), "{data: {va: 0.5 rad/s, vx: 0.1 m/s}}", now),
            parsed(type("Pexa::TimedVelocity2D"), "data: {vx: 0.1, va: 0.5}", now));
  EXPECT_EQ(parsed(type("TimedLong"), "tm: 7.5, data: -3").items()[0], timeValue(7, 500000000));
}

TEST(TextForm, aWrongUnitIsRefusedInsteadOfBeingTakenAsTheFieldsOwn) {
  EXPECT_NE(
      refusal(type("Pexa::TimedVelocity2D"), "data: {vx: 300 mm/s}").find("data.vx: is in m/s"),
      std::string::npos);
  EXPECT_NE(refusal(type("RTC::TimedVector2D"), "data: {x: 1 m}").find("data.x: has no unit"),
            std::string::npos);
}

TEST(TextForm, mistakesAreNamedWithTheFieldAndColumn) {
  const TypeDesc& velocity = type("Pexa::TimedVelocity2D");
  EXPECT_NE(refusal(velocity, "data: {speed: 1}")
                .find("RTC::Velocity2D has no field \"speed\" (fields: vx, vy, va)"),
            std::string::npos);
  EXPECT_NE(refusal(velocity, "data: {vx: fast}").find("data.vx: expected a number, got \"fast\""),
            std::string::npos);
  EXPECT_NE(refusal(velocity, "data: {vx: 1").find("column 13"), std::string::npos);
  EXPECT_NE(refusal(velocity, "data: {vx: 1}, data: {}").find("data: given twice"),
            std::string::npos);
  EXPECT_NE(refusal(velocity, "id: [1, 2147483648]").find("id[1]: 2147483648 is out of range"),
            std::string::npos);
  EXPECT_NE(refusal(velocity, "data: {vx: 1} extra").find("expected ',', got \"extra\""),
            std::string::npos);
  EXPECT_NE(refusal(type("TimedOctet"), "data: 256").find("out of range"), std::string::npos);
  EXPECT_NE(refusal(type("TimedLong"), "tm: 1.0000000001").find("time stamp"), std::string::npos);
}

TEST(TextForm, numbersKeepEveryBitAndSpecialValues) {
  const TypeDesc& doubles = type("TimedDoubleSeq");
  const Value value =
      parsed(doubles, "data: [0.1, 1e-300, -0, nan, inf, -inf, 123456789.123456789]");
  const std::string line = formatLine(doubles, value);
  EXPECT_EQ(line.substr(line.find("data")),
            "data: [0.1, 1e-300, -0, nan, inf, -inf, 123456789.12345679]");
  EXPECT_TRUE(std::signbit(value.items()[1].items()[2].asNumber()));
  // A float field holds the float nearest to the text and prints its shortest form.
  EXPECT_EQ(formatLine(type("TimedFloat"), parsed(type("TimedFloat"), "data: 0.1")),
            "tm: 0.000000000, data: 0.1");
}

TEST(TextForm, textsAndCharactersAreQuotedWithEscapes) {
  const Value text = parsed(type("RTC::TimedCharSeq"), "data: 0x41000a");
  EXPECT_EQ(text.items()[1].asBytes(), (Bytes{0x41, 0x00, 0x0a}));
  const Value letter = parsed(type("TimedChar"), R"(data: '\'')");
  EXPECT_EQ(formatLine(type("TimedChar"), letter), R"(tm: 0.000000000, data: '\'')");
  Value people = defaultValue(type("Zemla::TimedPeopleTrackingData"));
  EXPECT_EQ(formatLine(type("Zemla::TimedPeopleTrackingData"), people),
            "tm: 0.000000000, data: {id: 0, person: []}");
}

Value image(int width, int height, int channels) {
  const TypeDesc& imageType = type("Orvn::TimedImageData");
  Value sample = defaultValue(imageType);
  Value::Items& data = sample.items()[1].items();
  data[0] = Value{std::int64_t{channels}};
  data[1] = Value{std::int64_t{8}};
  data[3] = Value{std::int64_t{width}};
  data[4] = Value{std::int64_t{height}};
  data[5] = Value{std::int64_t{width * height * channels}};
  Bytes pixels(static_cast<size_t>(width * height * channels));
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7);
  data[6] = Value{pixels};
  return sample;
}

TEST(TextForm, anImageShowsItsHeaderSizeAndChecksum) {
  const Value picture = image(400, 400, 3);
  const std::string line = formatLine(type("Orvn::TimedImageData"), picture);
  EXPECT_EQ(line,
            "tm: 0.000000000, data: {nChannels: 3, depth: 8, origin: 0, width: 400, "
            "height: 400, imageSize: 480000, imgData: " +
                blockSummary(picture.items()[1].items()[6].asBytes()) + ", widthStep: 0}");
  EXPECT_NE(line.find("<480000 bytes crc32 "), std::string::npos);
  EXPECT_NE(refusal(type("Orvn::TimedImageData"), line).find("--images"), std::string::npos);
}

TEST(TextForm, anImageLineFindsItsPixelsInTheFolderItWasSavedTo) {
  test_support::TempDir folder("port-data-images-");
  const TypeDesc& imageType = type("Orvn::TimedImageData");
  for (int channels : {1, 3, 4}) {
    const Value picture = image(40, 30, channels);
    auto saved = saveImagePng(*imagesIn(imageType, picture).front(), folder.path(), channels);
    ASSERT_TRUE(saved) << saved.error();
    EXPECT_TRUE(std::filesystem::exists(*saved));
    ImageFolder pixels(folder.path());
    ParseOptions options;
    options.findBlock = [&pixels](size_t size, std::uint32_t crc) {
      return pixels.pixels(size, crc);
    };
    const std::string line = formatLine(imageType, picture);
    auto back = parseLine(imageType, line, options);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(*back, picture);
  }
}

TEST(TextForm, anImageThatCannotBeAPictureIsNotSavedAndSaysWhy) {
  test_support::TempDir folder("port-data-images-");
  Value picture = image(4, 4, 3);
  picture.items()[1].items()[4] = Value{std::int64_t{5}};
  auto saved = saveImagePng(picture.items()[1], folder.path(), 1);
  ASSERT_FALSE(saved);
  EXPECT_NE(saved.error().find("does not fit its 48 bytes"), std::string::npos) << saved.error();
  picture = image(4, 4, 2);
  EXPECT_FALSE(saveImagePng(picture.items()[1], folder.path(), 1));
}

}  // namespace
}  // namespace port_data
