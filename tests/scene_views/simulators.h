#pragma once
// Both simulators as processes (HiroSimComp with its default scene at 20 times the clock,
// BaseSimComp with its default building) on a private name server, for the cross-process tests
// of the readers and of RunPictures.

#include <gtest/gtest.h>

#include <omniORB4/CORBA.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace scene_views::testing {

inline const test_support::Seconds kStartTimeout(30);

inline CORBA::ORB_ptr orb() {
  static CORBA::ORB_var instance = [] {
    int argc = 1;
    const char* argv[] = {"scene_views_test"};
    return CORBA::ORB_init(argc, const_cast<char**>(argv));
  }();
  return instance.in();
}

class SimulatorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::RtcConfOptions options;
    options.nameServer = names_.address();
    options.logLevel = "WARN";
    options.extra = {{"logger.file_name", "STDOUT"}, {"clock.time_scale", "20"}};
    const std::string conf = test_support::writeRtcConf(dir_.path(), options);
    cell_ = start("HiroSimComp", {"-f", conf});
    base_ = start("BaseSimComp", {"-f", conf});
    ASSERT_TRUE(names_.waitForBinding("RobotController0.rtc", kStartTimeout)) << cell_->output();
    ASSERT_TRUE(names_.waitForBinding("HiroNX0.rtc", kStartTimeout)) << cell_->output();
    ASSERT_TRUE(names_.waitForBinding("BaseSim0.rtc", kStartTimeout)) << base_->output();
  }

  std::unique_ptr<test_support::ChildProcess> start(const std::string& program,
                                                    const std::vector<std::string>& arguments) {
    test_support::ChildOptions inDir;
    inDir.workingDirectory = dir_.path();
    return std::make_unique<test_support::ChildProcess>(test_support::binPath(program), arguments,
                                                        inDir);
  }

  // The base loads its building when activated.
  void activateBase() {
    const test_support::RunResult activated =
        test_support::runRtctl(names_, {"activate", "BaseSim0"});
    ASSERT_TRUE(activated.status.exitedWith(0)) << activated.out << activated.err;
    ASSERT_TRUE(base_->waitForOutput("walls, start", kStartTimeout)) << base_->output();
  }

  test_support::TempDir dir_{"scene-views-"};
  test_support::NameServer names_;
  std::unique_ptr<test_support::ChildProcess> cell_;
  std::unique_ptr<test_support::ChildProcess> base_;
};

}  // namespace scene_views::testing
