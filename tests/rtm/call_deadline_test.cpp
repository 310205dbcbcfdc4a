#include "manager_environment.h"

#include <rtm/CallDeadline.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new rtm_test::ManagerEnvironment);

using Clock = RTC::CallDeadline::Clock;
using std::chrono::milliseconds;

// Any object reference will do: the calls are only prepared, never made.
CORBA::Object_ptr somePeer() {
  static CORBA::Object_var peer = [] {
    CORBA::ORB_var orb = RTC::Manager::instance().getORB();
    return orb->string_to_object("corbaloc::127.0.0.1:1/Peer");
  }();
  return peer.in();
}

TEST(CallDeadline, withoutADeadlineEveryCallIsMade) {
  EXPECT_TRUE(RTC::boundCallTime(somePeer(), 3000));
  EXPECT_TRUE(RTC::boundCallTime(somePeer(), 0));
}

TEST(CallDeadline, onceTheDeadlineHasPassedNoCallIsMadeUntilItIsGivenBack) {
  {
    RTC::CallDeadline deadline(Clock::now() - milliseconds(1));
    EXPECT_FALSE(RTC::boundCallTime(somePeer(), 3000));
    EXPECT_FALSE(RTC::boundCallTime(somePeer(), 0));
  }
  EXPECT_TRUE(RTC::boundCallTime(somePeer(), 3000));
}

TEST(CallDeadline, anInnerDeadlineCannotExtendAnOuterOne) {
  RTC::CallDeadline outer(Clock::now() - milliseconds(1));
  {
    RTC::CallDeadline inner(Clock::now() + std::chrono::hours(1));
    EXPECT_FALSE(RTC::boundCallTime(somePeer(), 3000));
  }
  EXPECT_FALSE(RTC::boundCallTime(somePeer(), 3000));
}

TEST(CallDeadline, aDeadlineAheadLetsCallsThrough) {
  RTC::CallDeadline deadline(Clock::now() + std::chrono::seconds(10));
  EXPECT_TRUE(RTC::boundCallTime(somePeer(), 3000));
}

TEST(CallDeadline, eachThreadHasItsOwn) {
  RTC::CallDeadline deadline(Clock::now() - milliseconds(1));
  bool other_thread_calls = false;
  std::thread other([&] { other_thread_calls = RTC::boundCallTime(somePeer(), 3000); });
  other.join();
  EXPECT_TRUE(other_thread_calls);
}

}  // namespace
