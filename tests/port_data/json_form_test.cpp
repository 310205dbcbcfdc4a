#include "tools/port_data/json_form.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sample_values.h"

namespace port_data {
namespace {

const TypeDesc& type(const char* name) { return *findType(name); }

TEST(JsonForm, aVelocityCommandIsAnObjectWithTheIdlsFieldsInOrder) {
  Value command = defaultValue(type("Pexa::TimedVelocity2D"));
  command.items()[2].items()[0] = Value{0.3};
  EXPECT_EQ(formatJson(type("Pexa::TimedVelocity2D"), command),
            R"({"tm":{"sec":0,"nsec":0},"id":[],"data":{"vx":0.3,"vy":0.0,"va":0.0},"error":[]})");
}

TEST(JsonForm, everyTypeReadsBackItsOwnJsonExactly) {
  for (const TypeDesc* structType : structTypes()) {
    const Value sample = sampleValue(*structType);
    const std::string json = formatJson(*structType, sample);
    EXPECT_EQ(json.find('\n'), std::string::npos);
    auto back = parseJson(*structType, json);
    ASSERT_TRUE(back) << structType->name << ": " << json << "\n" << back.error();
    EXPECT_EQ(*back, sample) << structType->name;
    EXPECT_EQ(formatJson(*structType, *back), json);
  }
}

TEST(JsonForm, pixelsTravelWholeInBase64) {
  Value picture = defaultValue(type("Orvn::TimedImageData"));
  Bytes pixels(100);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(255 - i);
  picture.items()[1].items()[6] = Value{pixels};
  const std::string json = formatJson(type("Orvn::TimedImageData"), picture);
  EXPECT_NE(json.find("\"imgData\":\"" + base64Encode(pixels) + "\""), std::string::npos);
  auto back = parseJson(type("Orvn::TimedImageData"), json);
  ASSERT_TRUE(back) << back.error();
  EXPECT_EQ(back->items()[1].items()[6].asBytes(), pixels);
}

TEST(JsonForm, base64KeepsEveryLengthAndRefusesWhatIsNot) {
  for (size_t length = 0; length < 8; ++length) {
    Bytes bytes(length);
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + 1);
    auto back = base64Decode(base64Encode(bytes));
    ASSERT_TRUE(back) << length;
    EXPECT_EQ(*back, bytes);
  }
  EXPECT_EQ(base64Encode(Bytes{'M', 'a', 'n'}), "TWFu");
  EXPECT_FALSE(base64Decode("TWF"));
  EXPECT_FALSE(base64Decode("TW=u"));
  EXPECT_FALSE(base64Decode("TW!u"));
}

TEST(JsonForm, leftOutFieldsAreZeroAndSpecialNumbersAreWords) {
  auto command = parseJson(type("Pexa::TimedVelocity2D"), R"({"data":{"va":"-inf"}})", 9, 1);
  ASSERT_TRUE(command) << command.error();
  EXPECT_EQ(command->items()[0], timeValue(9, 1));
  EXPECT_TRUE(std::isinf(command->items()[2].items()[2].asNumber()));
  EXPECT_EQ(
      formatJson(type("TimedDouble"), Value{Value::Items{timeValue(0, 0), Value{std::nan("")}}}),
      R"({"tm":{"sec":0,"nsec":0},"data":"nan"})");
}

TEST(JsonForm, mistakesNameTheField) {
  auto refused = parseJson(type("Pexa::TimedVelocity2D"), R"({"data":{"vx":"fast"}})");
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error(), "data.vx: expected a number");
  refused = parseJson(type("Pexa::TimedVelocity2D"), R"({"id":[1.5]})");
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error(), "id[0]: expected an integer");
  refused = parseJson(type("TimedOctet"), R"({"data":300})");
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().find("out of range"), std::string::npos);
  EXPECT_FALSE(parseJson(type("TimedOctet"), "{data: 1}"));
  EXPECT_FALSE(parseJson(type("TimedOctet"), R"({"speed":1})"));
}

}  // namespace
}  // namespace port_data
