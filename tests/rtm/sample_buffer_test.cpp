#include <rtm/SampleBuffer.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

TEST(SampleBuffer, keepsTheNewestWhenFull) {
  RTC::SampleBuffer<int> buffer(3);
  for (int i = 1; i <= 5; ++i) buffer.push(i);
  EXPECT_EQ(buffer.size(), 3u);
  EXPECT_EQ(buffer.droppedCount(), 2u);
  int value = 0;
  ASSERT_TRUE(buffer.pop(value));
  EXPECT_EQ(value, 3);
  ASSERT_TRUE(buffer.pop(value));
  EXPECT_EQ(value, 4);
  ASSERT_TRUE(buffer.pop(value));
  EXPECT_EQ(value, 5);
  EXPECT_FALSE(buffer.pop(value));
  EXPECT_EQ(value, 5);
}

TEST(SampleBuffer, zeroCapacityStillHoldsOne) {
  RTC::SampleBuffer<int> buffer(0);
  buffer.push(1);
  EXPECT_TRUE(buffer.push(2));
  int value = 0;
  ASSERT_TRUE(buffer.pop(value));
  EXPECT_EQ(value, 2);
}

TEST(SampleBuffer, writerAndReaderThreadsLoseNothingBeyondOverflow) {
  constexpr int kCount = 20000;
  RTC::SampleBuffer<int> buffer(8);
  std::thread writer([&] {
    for (int i = 0; i < kCount; ++i) buffer.push(i);
  });
  int last = -1;
  int received = 0;
  bool ordered = true;
  while (true) {
    int value;
    if (buffer.pop(value)) {
      ordered = ordered && value > last;
      last = value;
      ++received;
      if (value == kCount - 1) break;
    } else {
      std::this_thread::yield();
    }
  }
  writer.join();
  EXPECT_TRUE(ordered);
  EXPECT_EQ(static_cast<size_t>(received) + buffer.droppedCount(), static_cast<size_t>(kCount));
}

TEST(SampleBuffer, aWaitingWriterLosesNothingAndKeepsTheOrder) {
  constexpr int kCount = 20000;
  RTC::SampleBuffer<int> buffer(8);
  int placed = 0;
  std::thread writer([&] {
    for (int i = 0; i < kCount; ++i) placed += buffer.pushWithin(i, std::chrono::seconds(30));
  });
  std::vector<int> received;
  int value = 0;
  while (received.size() < kCount && buffer.popWithin(value, std::chrono::seconds(30)))
    received.push_back(value);
  writer.join();
  EXPECT_EQ(placed, kCount);
  ASSERT_EQ(received.size(), static_cast<size_t>(kCount));
  for (int i = 0; i < kCount; ++i) ASSERT_EQ(received[i], i);
  EXPECT_EQ(buffer.droppedCount(), 0u);
}

TEST(SampleBuffer, aWaitingWriterIsRefusedWhenNoRoomComesOrTheBufferCloses) {
  RTC::SampleBuffer<int> buffer(1);
  ASSERT_TRUE(buffer.pushWithin(1, std::chrono::milliseconds(0)));
  EXPECT_FALSE(buffer.pushWithin(2, std::chrono::milliseconds(0)));
  EXPECT_FALSE(buffer.pushWithin(3, std::chrono::milliseconds(1)));
  EXPECT_EQ(buffer.refusedCount(), 2u);

  bool placed = true;
  std::thread writer([&] { placed = buffer.pushWithin(4, std::chrono::hours(1)); });
  buffer.close();
  writer.join();
  EXPECT_FALSE(placed);
  int value = 0;
  ASSERT_TRUE(buffer.pop(value));
  EXPECT_EQ(value, 1);
  EXPECT_FALSE(buffer.pop(value));
}

}  // namespace
