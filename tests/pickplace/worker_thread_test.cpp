#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>

#include "recording_stream.h"
#include "worker_thread.h"

namespace pickplace {
namespace {

class WorkerThread : public ::testing::Test {
 protected:
  fakes::RecordingStream out;
  fakes::RecordingStream err;
  Console console{out, err};
};

TEST_F(WorkerThread, oneThreadAtATimeAndPollSeesItsEnd) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<int> runs{0};
  {
    Thread worker(console);
    ASSERT_TRUE(worker.start([&] {
      released.wait();
      ++runs;
    }));
    EXPECT_FALSE(worker.start([&] { ++runs; }));
    EXPECT_FALSE(worker.poll(5));
    release.set_value();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool ended = false;
    while (!ended && std::chrono::steady_clock::now() < deadline) {
      ended = worker.poll(5);
    }
    EXPECT_TRUE(ended);
    worker.join();
    EXPECT_FALSE(worker.held());
    EXPECT_TRUE(worker.start([&] { ++runs; }));
  }
  EXPECT_EQ(runs, 2);
}

TEST_F(WorkerThread, destructorJoinsBetweenItsLines) {
  std::atomic<bool> finished{false};
  {
    Thread worker(console);
    // Still running when the destructor begins.
    worker.start([&] { finished = err.waitFor(">> ~Thread()", std::chrono::seconds(10)); });
  }
  EXPECT_TRUE(finished);
  EXPECT_EQ(err.str(), ">> ~Thread()\n<< ~Thread()\n");
}

TEST_F(WorkerThread, emptySlotPollsAsEndedAndJoinsAsNothing) {
  Thread worker(console);
  EXPECT_TRUE(worker.poll(5));
  worker.join();
  EXPECT_FALSE(worker.held());
}

}  // namespace
}  // namespace pickplace
