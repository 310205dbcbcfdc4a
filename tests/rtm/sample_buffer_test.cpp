#include <rtm/SampleBuffer.h>

#include <gtest/gtest.h>

#include <thread>

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

}  // namespace
