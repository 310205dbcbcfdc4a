// Starts the middleware once for a test program: ORB on loopback, no name server, the log
// on standard error only, and shuts it down after the last test.
#pragma once

#include <rtm/Manager.h>

#include <gtest/gtest.h>

namespace rtm_test {

class ManagerEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    const char* words[] = {"rtm_test",
                           "-o",
                           "corba.endpoints:127.0.0.1:",
                           "-o",
                           "naming.enable:NO",
                           "-o",
                           "logger.enable:NO",
                           "-o",
                           "manager.shutdown_on_nortcs:NO",
                           "-o",
                           "exec_cxt.periodic.rate:500",
                           nullptr};
    manager_ = RTC::Manager::init(static_cast<int>(sizeof words / sizeof words[0]) - 1,
                                  const_cast<char**>(words));
    manager_->activateManager();
  }
  void TearDown() override { manager_->shutdown(); }

 private:
  RTC::Manager* manager_ = nullptr;
};

}  // namespace rtm_test
