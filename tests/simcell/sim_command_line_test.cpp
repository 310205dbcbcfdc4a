#include "sim_command_line.h"

#include <gtest/gtest.h>

#include <shell/time_scale.h>

#include <vector>

namespace hirosim {
namespace {

using Words = std::vector<std::string>;

struct Parsed {
  std::optional<int> status;
  SimOptions options;
  Words middleware;
  std::string errors;
};

Parsed parse(const Words& words) {
  shell::ProgramCommandLine line("HiroSimComp", "The simulated cell.");
  Parsed parsed;
  parsed.options.scenePath = "default.scene";
  addSimOptions(line, parsed.options);
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  parsed.status = line.parse(static_cast<int>(argv.size()), argv.data());
  testing::internal::GetCapturedStdout();
  parsed.errors = testing::internal::GetCapturedStderr();
  parsed.middleware = line.middlewareArguments();
  return parsed;
}

TEST(SimCommandLine, ownOptionsAreTakenOutAndTheRestGoesToTheMiddleware) {
  const Parsed parsed = parse({"HiroSimComp", "-f", "rtc.conf", "--time-scale", "20", "--scene",
                               "cell.scene", "-o", "logger.enable:NO"});
  ASSERT_FALSE(parsed.status) << parsed.errors;
  EXPECT_EQ(parsed.options.timeScale, 20.0);
  EXPECT_EQ(parsed.options.scenePath, "cell.scene");
  EXPECT_EQ(parsed.middleware, (Words{"HiroSimComp", "-f", "rtc.conf", "-o", "logger.enable:NO"}));
}

TEST(SimCommandLine, withoutOptionsTheSceneStaysAndNoScaleIsGiven) {
  const Parsed parsed = parse({"HiroSimComp"});
  ASSERT_FALSE(parsed.status);
  EXPECT_FALSE(parsed.options.timeScale);
  EXPECT_EQ(parsed.options.scenePath, "default.scene");
}

TEST(SimCommandLine, aTimeScaleMustBeAPositiveFiniteNumber) {
  for (const char* refused : {"0", "-3", "fast", "2x", "nan", "inf", ""}) {
    const Parsed parsed = parse({"HiroSimComp", "--time-scale", refused});
    EXPECT_EQ(parsed.status, 2) << refused;
    EXPECT_NE(parsed.errors.find("needs a number above 0"), std::string::npos) << parsed.errors;
  }
  EXPECT_EQ(parse({"HiroSimComp", "--time-scale", "12.5"}).options.timeScale, 12.5);
}

TEST(SimCommandLine, anOptionWithoutItsValueOrAnUnknownOneEndsWithTwo) {
  EXPECT_EQ(parse({"HiroSimComp", "--scene"}).status, 2);
  EXPECT_EQ(parse({"HiroSimComp", "--time-scale"}).status, 2);
  const Parsed unknown = parse({"HiroSimComp", "--speed", "3"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.errors.find("--time-scale"), std::string::npos) << "usage follows";
}

TEST(CellTimeScale, followsTheConfigurationUnlessTheCommandLineGivesOne) {
  coil::Properties config;
  EXPECT_EQ(cellTimeScale(SimOptions{}, config), 1.0);
  config.setProperty(shell::kTimeScaleKey, "20");
  EXPECT_EQ(cellTimeScale(SimOptions{}, config), 20.0);
  SimOptions options;
  options.timeScale = 5.0;
  EXPECT_EQ(cellTimeScale(options, config), 5.0);
}

}  // namespace
}  // namespace hirosim
