// Starts the middleware once for a test program: ORB on loopback, no name server, the log
// on standard error only, and shuts it down after the last test.
#ifndef TESTS_RTM_MANAGER_ENVIRONMENT_H
#define TESTS_RTM_MANAGER_ENVIRONMENT_H

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
    m_manager = RTC::Manager::init(static_cast<int>(sizeof words / sizeof words[0]) - 1,
                                   const_cast<char**>(words));
    m_manager->activateManager();
  }
  void TearDown() override { m_manager->shutdown(); }

 private:
  RTC::Manager* m_manager = nullptr;
};

}  // namespace rtm_test

#endif
