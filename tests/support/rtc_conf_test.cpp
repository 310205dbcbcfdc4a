#include "tests/support/rtc_conf.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace test_support {
namespace {

TEST(RtcConf, writesNameServerLoopbackEndpointRateAndLogToStandardOutput) {
  TempDir directory;
  RtcConfOptions options;
  options.nameServer = "127.0.0.1:4321";
  options.rate_hz = 20;
  options.extra = {{"manager.shutdown_on_nortcs", "NO"}};
  std::string path = writeRtcConf(directory.path(), options);
  EXPECT_EQ(path, directory.file("rtc.conf"));
  EXPECT_EQ(readFile(path),
            "corba.nameservers: 127.0.0.1:4321\n"
            "corba.endpoints: 127.0.0.1:\n"
            "exec_cxt.periodic.rate: 20\n"
            "logger.enable: YES\n"
            "logger.file_name: STDOUT\n"
            "logger.log_level: INFO\n"
            "manager.shutdown_on_nortcs: NO\n");
}

TEST(RtcConf, leavesOutTheNameServerWhenNoneIsGiven) {
  EXPECT_EQ(rtcConfText({}).find("corba.nameservers"), std::string::npos);
}

TEST(TempDir, isRemovedWithItsContent) {
  std::string path;
  {
    TempDir directory;
    path = directory.path();
    writeFile(directory.file("inside"), "x");
    EXPECT_EQ(readFile(directory.file("inside")), "x");
  }
  EXPECT_EQ(readFile(path + "/inside"), "");
  EXPECT_FALSE(TempDir().path().empty());
}

}  // namespace
}  // namespace test_support
