#include "tools/rtctl/system_capture.h"

#include <gtest/gtest.h>

#include "live_system_fixture.h"

namespace rtctl {
namespace {

SystemFile readBack(const std::string& text) {
  SystemFileRead read = parseSystemFile(text, "captured.system", "/", {});
  EXPECT_TRUE(read.file) << read.error << "\n" << text;
  return read.file.value_or(SystemFile{});
}

std::vector<std::string> linesOf(const SystemFile& file) {
  std::vector<std::string> lines;
  for (const Action& action : file.actions) lines.push_back(action.text());
  return lines;
}

TEST(SystemCapture, writesValuesConnectionsAndStatesThatHoldInTheSystemItCameFrom) {
  LiveSystem live = smallSystem();
  std::string text = captureSystemFile(live, "captured for a test\nsecond line");
  EXPECT_EQ(text.rfind("# captured for a test\n# second line\n", 0), 0u) << text;
  SystemFile file = readBack(text);
  EXPECT_EQ(linesOf(file), (std::vector<std::string>{
                               "conf Talker0 set message hello",
                               "conf Talker0 set gain 0.50",
                               "connect Talker0:out Listener0:in",
                               "connect Caller0:echo Provider0:echo",
                               "activate Talker0",
                               "deactivate Listener0",
                               "activate Provider0",
                               "deactivate Caller0",
                           }));
  for (const Action& action : file.actions) {
    EXPECT_TRUE(checkLine(action, live).holds) << action.text();
  }
}

TEST(SystemCapture, aComponentIsActivatedAfterTheOnesWhoseServicesItUses) {
  LiveSystem live = smallSystem();
  live[2].state = "Active";
  std::swap(live[2], live[3]);  // the provider listed last
  std::swap(live[0], live[2]);
  std::vector<std::string> lines = linesOf(readBack(captureSystemFile(live, "")));
  auto at = [&](const std::string& text) {
    return std::find(lines.begin(), lines.end(), text) - lines.begin();
  };
  EXPECT_LT(at("activate Provider0"), at("activate Caller0"));
}

TEST(SystemCapture, valuesAndPropertiesThatNeedQuotesReadBackUnchanged) {
  LiveSystem live = smallSystem();
  live[0].configurationSets[0].values = {{"label", "two words # and a $sign"}, {"empty", ""}};
  live[0].ports[0].connectors[0].properties["dataport.subscription_type"] = "new";
  live[0].ports[0].connectors[0].properties["dataport.buffer.length"] = "16";
  SystemFile file = readBack(captureSystemFile(live, ""));
  EXPECT_EQ(file.actions[0].value, "two words # and a $sign");
  EXPECT_EQ(file.actions[1].value, "");
  EXPECT_EQ(file.actions[2].text(),
            "connect Talker0:out Listener0:in dataport.buffer.length=16 subscription_type=new");
}

TEST(SystemCapture, connectionsToComponentsLeftOutAreNotWrittenAndOddStatesAreComments) {
  LiveSystem live = smallSystem();
  live.erase(live.begin() + 1);  // Listener0 not captured
  live[1].state = "Error";
  std::string text = captureSystemFile(live, "");
  SystemFile file = readBack(text);
  for (const Action& action : file.actions) {
    EXPECT_EQ(action.text().find("Listener0"), std::string::npos) << action.text();
  }
  EXPECT_NE(text.find("# Caller0 was Error"), std::string::npos) << text;
}

}  // namespace
}  // namespace rtctl
