#include "sim_options.h"

#include <gtest/gtest.h>

namespace hirosim {
namespace {

using Args = std::vector<std::string>;

TEST(SimOptions, ownOptionsAreTakenOutAndTheRestGoesToTheMiddleware) {
  const auto result = parseSimOptions({"HiroSimComp", "-f", "rtc.conf", "--time-scale", "20",
                                       "--scene", "cell.scene", "-o", "logger.enable:NO"});
  ASSERT_TRUE(result.options) << result.error;
  EXPECT_DOUBLE_EQ(result.options->timeScale, 20.0);
  EXPECT_EQ(result.options->scenePath, "cell.scene");
  EXPECT_EQ(result.middlewareArgs,
            (Args{"HiroSimComp", "-f", "rtc.conf", "-o", "logger.enable:NO"}));
}

TEST(SimOptions, defaultsToRealTimeAndTheShippedScene) {
  const auto result = parseSimOptions({"HiroSimComp"});
  ASSERT_TRUE(result.options);
  EXPECT_DOUBLE_EQ(result.options->timeScale, 1.0);
  EXPECT_FALSE(result.options->scenePath);
}

TEST(SimOptions, badTimeScaleOrMissingValueIsAnError) {
  EXPECT_EQ(parseSimOptions({"HiroSimComp", "--time-scale", "0"}).error,
            "--time-scale needs a number above 0, not \"0\"");
  EXPECT_FALSE(parseSimOptions({"HiroSimComp", "--time-scale", "-3"}).options);
  EXPECT_EQ(parseSimOptions({"HiroSimComp", "--scene"}).error, "--scene needs a value");
}

}  // namespace
}  // namespace hirosim
