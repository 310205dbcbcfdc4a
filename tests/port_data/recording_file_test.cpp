#include "tools/port_data/recording_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/temp_dir.h"
#include "tools/port_data/recording_summary.h"

namespace port_data {
namespace {

Channel dataChannel(std::uint16_t id, const std::string& port) {
  Channel channel;
  channel.id = id;
  channel.port = port;
  channel.dataType = "IDL:Pexa/TimedPose2D:1.0";
  channel.peers = {"Torvane0:robot_pose"};
  return channel;
}

Sample sample(std::uint16_t channel, std::uint64_t time_ns, Bytes octets) {
  Sample s;
  s.channel = channel;
  s.time_ns = time_ns;
  s.octets = std::move(octets);
  return s;
}

std::vector<Record> readAll(const std::string& path, std::string* cutShort = nullptr) {
  auto reader = RecordingReader::open(path);
  EXPECT_TRUE(reader) << reader.error();
  std::vector<Record> records;
  if (!reader) return records;
  while (auto record = reader.value()->next()) records.push_back(*record);
  if (cutShort) *cutShort = reader.value()->cutShort();
  return records;
}

class RecordingFileTest : public ::testing::Test {
 protected:
  // A recording of two channels: a few small samples, a large image-like one, a failed call.
  std::string writeExample() {
    const std::string path = directory.file("run.rec");
    auto writer = RecordingWriter::create(path, {1234567890123456789, "127.0.0.1:2809", "rtctl 1"});
    EXPECT_TRUE(writer) << writer.error();
    Channel service;
    service.id = 1;
    service.kind = ChannelKind::ServiceReplies;
    service.port = "Torvane0:RelativeMapService";
    service.dataType = "IDL:Zemla/TimedFloatRelativeOGMapData:1.0";
    service.interfaceType = "Zemla::RelativeMapService";
    service.operation = "getFloatRelativeOGMap";
    EXPECT_TRUE(writer.value()->write(dataChannel(0, "BaseSim0:robot_pose")));
    EXPECT_TRUE(writer.value()->write(service));
    EXPECT_TRUE(writer.value()->write(sample(0, 1000, {1, 2, 3})));
    EXPECT_TRUE(writer.value()->write(sample(1, 2000, Bytes(160000, 0))));
    Sample failed = sample(1, 3000, {'T', 'R', 'A', 'N', 'S', 'I', 'E', 'N', 'T'});
    failed.failedCall = true;
    EXPECT_TRUE(writer.value()->write(failed));
    EXPECT_TRUE(writer.value()->write(sample(0, 4000, {4})));
    EXPECT_TRUE(writer.value()->write(RecordingEnd{5000}));
    return path;
  }

  test_support::TempDir directory{"recording-file-"};
};

TEST_F(RecordingFileTest, readsBackEveryRecordInOrder) {
  const std::string path = writeExample();
  // The 160,000 zero octets are deflated.
  EXPECT_LT(std::filesystem::file_size(path), 2000u);
  auto reader = RecordingReader::open(path);
  ASSERT_TRUE(reader) << reader.error();
  EXPECT_EQ(reader.value()->start().wallClock_ns, 1234567890123456789);
  EXPECT_EQ(reader.value()->start().nameServer, "127.0.0.1:2809");
  const std::vector<Record> records = readAll(path);
  ASSERT_EQ(records.size(), 7u);
  EXPECT_EQ(std::get<Channel>(records[0]).peers, std::vector<std::string>{"Torvane0:robot_pose"});
  EXPECT_EQ(std::get<Channel>(records[1]).operation, "getFloatRelativeOGMap");
  EXPECT_EQ(std::get<Sample>(records[2]).octets, (Bytes{1, 2, 3}));
  EXPECT_EQ(std::get<Sample>(records[3]).octets, Bytes(160000, 0));
  EXPECT_TRUE(std::get<Sample>(records[4]).failedCall);
  EXPECT_EQ(std::get<Sample>(records[5]).time_ns, 4000u);
  EXPECT_EQ(std::get<RecordingEnd>(records[6]).time_ns, 5000u);
}

TEST_F(RecordingFileTest, aFileCutAnywhereGivesEveryWholeRecordBeforeTheCut) {
  const std::string path = writeExample();
  const std::vector<Record> whole = readAll(path);
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string cutPath = directory.file("cut.rec");
  size_t previousCount = 0;
  // Past the header and the start record every length must open; fewer records, never wrong ones.
  for (size_t length = 60; length < bytes.size(); ++length) {
    std::ofstream(cutPath, std::ios::binary | std::ios::trunc).write(bytes.data(), length);
    std::string cutShort;
    const std::vector<Record> records = readAll(cutPath, &cutShort);
    ASSERT_LT(records.size(), whole.size()) << length;
    EXPECT_GE(records.size(), previousCount);
    previousCount = records.size();
    for (size_t i = 0; i < records.size(); ++i) {
      EXPECT_EQ(records[i].index(), whole[i].index());
    }
    if (!cutShort.empty()) {
      EXPECT_NE(cutShort.find("ends inside a record"), std::string::npos);
    }
  }
  EXPECT_EQ(previousCount, whole.size() - 1);
}

TEST_F(RecordingFileTest, aDamagedRecordEndsTheReadingThere) {
  const std::string path = writeExample();
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  // The first sample's octets lie in the last bytes of its record.
  const std::vector<Record> whole = readAll(path);
  file.seekp(-30, std::ios::end);
  file.put('\x55');
  file.close();
  std::string cutShort;
  const std::vector<Record> records = readAll(path, &cutShort);
  EXPECT_LT(records.size(), whole.size());
  EXPECT_NE(cutShort.find("checksum"), std::string::npos) << cutShort;
}

TEST_F(RecordingFileTest, refusesOtherFilesAndOtherVersions) {
  const std::string other = directory.file("other.txt");
  std::ofstream(other) << "hello, this is no recording";
  auto reader = RecordingReader::open(other);
  ASSERT_FALSE(reader);
  EXPECT_EQ(reader.error(), other + " is not an rtctl recording");

  const std::string path = writeExample();
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  file.seekp(8);
  file.put('\x02');
  file.close();
  reader = RecordingReader::open(path);
  ASSERT_FALSE(reader);
  EXPECT_NE(reader.error().find("version 2; this rtctl reads version 1"), std::string::npos);
  EXPECT_FALSE(RecordingReader::open(directory.file("missing.rec")));
}

TEST_F(RecordingFileTest, theSummaryCountsEachChannel) {
  auto summary = summarizeRecording(writeExample());
  ASSERT_TRUE(summary) << summary.error();
  EXPECT_TRUE(summary->complete);
  EXPECT_EQ(summary->samples, 4u);
  ASSERT_EQ(summary->channels.size(), 2u);
  EXPECT_EQ(summary->channels[0].samples, 2u);
  EXPECT_EQ(summary->channels[0].first_ns, 1000u);
  EXPECT_EQ(summary->channels[0].last_ns, 4000u);
  EXPECT_EQ(summary->channels[1].samples, 1u);
  EXPECT_EQ(summary->channels[1].failedCalls, 1u);
  const std::string text = formatSummary(*summary);
  EXPECT_NE(text.find("4 samples (0.2 MB as they travelled) in 0.000 s, ended cleanly"),
            std::string::npos)
      << text;
  EXPECT_EQ(summary->octets, 3u + 160000 + 1);
  EXPECT_NE(text.find("BaseSim0:robot_pose  IDL:Pexa/TimedPose2D:1.0  2 samples"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Torvane0:RelativeMapService.getFloatRelativeOGMap"), std::string::npos);
  EXPECT_NE(text.find("started 2009-02-13T23:31:30.123Z"), std::string::npos) << text;
  const std::string json = formatSummaryJson(*summary);
  EXPECT_NE(json.find(R"("complete":true)"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("failed_calls":1)"), std::string::npos) << json;
}

}  // namespace
}  // namespace port_data
