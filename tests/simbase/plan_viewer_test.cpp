#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/videoio.hpp>

#include "frame_writer.h"
#include "image_frame.h"
#include "viewer_options.h"

using namespace planviewer;

namespace {

// A 3 x 2 BGR image whose pixel (x, y) is (10x + y, 100 + x, 200 + y), rows padded to `step`.
std::vector<std::uint8_t> knownPixels(int step) {
  std::vector<std::uint8_t> bytes(step * 2, 0xEE);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      bytes[y * step + 3 * x + 0] = static_cast<std::uint8_t>(10 * x + y);
      bytes[y * step + 3 * x + 1] = static_cast<std::uint8_t>(100 + x);
      bytes[y * step + 3 * x + 2] = static_cast<std::uint8_t>(200 + y);
    }
  return bytes;
}

RawImage rawOf(const std::vector<std::uint8_t>& bytes, int widthStep) {
  RawImage raw;
  raw.nChannels = 3;
  raw.depth = 8;
  raw.width = 3;
  raw.height = 2;
  raw.imageSize = static_cast<std::int32_t>(bytes.size());
  raw.widthStep = widthStep;
  raw.bytes = bytes.data();
  raw.byteCount = bytes.size();
  return raw;
}

void expectKnownPicture(const cv::Mat& bgr, bool upsideDown = false) {
  ASSERT_EQ(bgr.type(), CV_8UC3);
  ASSERT_EQ(bgr.cols, 3);
  ASSERT_EQ(bgr.rows, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      const int sourceRow = upsideDown ? 1 - y : y;
      const cv::Vec3b pixel = bgr.at<cv::Vec3b>(y, x);
      EXPECT_EQ(pixel[0], 10 * x + sourceRow) << x << "," << y;
      EXPECT_EQ(pixel[1], 100 + x);
      EXPECT_EQ(pixel[2], 200 + sourceRow);
    }
}

}  // namespace

TEST(ToBgrFrame, unsetWidthStepMeansTightRows) {
  const auto bytes = knownPixels(9);
  const auto result = toBgrFrame(rawOf(bytes, 0));
  ASSERT_TRUE(result.ok) << result.error;
  expectKnownPicture(result.bgr);
}

TEST(ToBgrFrame, paddedRowsFollowWidthStep) {
  const auto bytes = knownPixels(12);
  const auto result = toBgrFrame(rawOf(bytes, 12));
  ASSERT_TRUE(result.ok) << result.error;
  expectKnownPicture(result.bgr);
}

TEST(ToBgrFrame, bottomUpImageIsTurnedUpright) {
  const auto bytes = knownPixels(9);
  RawImage raw = rawOf(bytes, 0);
  raw.origin = 1;
  const auto result = toBgrFrame(raw);
  ASSERT_TRUE(result.ok) << result.error;
  expectKnownPicture(result.bgr, true);
}

TEST(ToBgrFrame, greyImageBecomesBgr) {
  const std::vector<std::uint8_t> bytes = {0, 50, 100, 150};
  RawImage raw;
  raw.nChannels = 1;
  raw.depth = 8;
  raw.width = 2;
  raw.height = 2;
  raw.bytes = bytes.data();
  raw.byteCount = bytes.size();
  const auto result = toBgrFrame(raw);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.bgr.at<cv::Vec3b>(1, 0), cv::Vec3b(100, 100, 100));
}

TEST(ToBgrFrame, samplesWhoseSizesDoNotAddUpAreRefused) {
  const auto bytes = knownPixels(9);
  RawImage shortData = rawOf(bytes, 0);
  shortData.byteCount = 17;
  shortData.imageSize = 17;
  EXPECT_EQ(toBgrFrame(shortData).error, "3 x 2 x 3 needs 18 bytes, got 17");

  RawImage wrongImageSize = rawOf(bytes, 0);
  wrongImageSize.imageSize = 480000;
  EXPECT_EQ(toBgrFrame(wrongImageSize).error, "imageSize 480000 but 18 bytes of data");

  RawImage paddedBeyondData = rawOf(bytes, 12);
  EXPECT_EQ(toBgrFrame(paddedBeyondData).error, "3 x 2 x 3 needs 24 bytes, got 18");

  RawImage narrowStep = rawOf(bytes, 8);
  EXPECT_EQ(toBgrFrame(narrowStep).error, "widthStep 8 shorter than a row of 9 bytes");

  RawImage wrongDepth = rawOf(bytes, 0);
  wrongDepth.depth = 16;
  EXPECT_EQ(toBgrFrame(wrongDepth).error, "depth 16 is not 8 bits");

  RawImage fourChannels = rawOf(bytes, 0);
  fourChannels.nChannels = 4;
  EXPECT_FALSE(toBgrFrame(fourChannels).ok);

  RawImage negative = rawOf(bytes, 0);
  negative.height = -2;
  EXPECT_EQ(toBgrFrame(negative).error, "size 3 x -2 out of range");

  // Sizes whose product overflows 32 bits must not wrap into something that fits.
  RawImage huge = rawOf(bytes, 0);
  huge.width = 16384;
  huge.height = 16384;
  EXPECT_FALSE(toBgrFrame(huge).ok);
}

TEST(FrameWriter, writesNumberedFramesLatestAndAVideo) {
  const test_support::TempDir folder("plan_viewer_test_");
  FrameWriterOptions options;
  options.directory = folder.path();
  options.videoPath = folder.path() + "/run.avi";
  FrameWriter writer(options);
  for (int i = 0; i < 3; ++i) {
    cv::Mat frame(40, 60, CV_8UC3, cv::Scalar(0, 80 * i, 255));
    EXPECT_EQ(writer.write(frame), "");
  }
  writer.finish();
  EXPECT_EQ(writer.framesWritten(), 3);
  const cv::Mat second = cv::imread(folder.path() + "/frame_000002.png");
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(second.at<cv::Vec3b>(5, 5), cv::Vec3b(0, 80, 255));
  const cv::Mat latest = cv::imread(folder.path() + "/latest.png");
  ASSERT_FALSE(latest.empty());
  EXPECT_EQ(latest.at<cv::Vec3b>(5, 5), cv::Vec3b(0, 160, 255));
  EXPECT_FALSE(std::filesystem::exists(folder.path() + "/frame_000004.png"));

  cv::VideoCapture video(options.videoPath);
  ASSERT_TRUE(video.isOpened());
  int frames = 0;
  cv::Mat picture;
  while (video.read(picture)) {
    EXPECT_EQ(picture.cols, 60);
    ++frames;
  }
  EXPECT_EQ(frames, 3);
}

TEST(FrameWriter, unwritableFolderIsReportedNotThrown) {
  FrameWriterOptions options;
  options.directory = "/nonexistent/folder";
  FrameWriter writer(options);
  const std::string error = writer.write(cv::Mat(4, 4, CV_8UC3, cv::Scalar::all(0)));
  EXPECT_EQ(error.rfind("cannot write /nonexistent/folder/frame_000001.png", 0), 0u) << error;
  EXPECT_EQ(writer.framesWritten(), 0);
}

TEST(ViewerCommandLine, ownOptionsAreTakenTheRestGoesToTheMiddleware) {
  const auto line = parseViewerCommandLine({"PlanViewer", "-f", "rtc.conf", "--dir", "out",
                                            "--video", "run.avi", "--fps", "4", "-o", "a:b"});
  EXPECT_EQ(line.error, "");
  EXPECT_EQ(line.frames.directory, "out");
  EXPECT_EQ(line.frames.videoPath, "run.avi");
  EXPECT_DOUBLE_EQ(line.frames.videoRate_fps, 4.0);
  EXPECT_EQ(line.middlewareArguments,
            (std::vector<std::string>{"PlanViewer", "-f", "rtc.conf", "-o", "a:b"}));
  const auto defaults = parseViewerCommandLine({"PlanViewer"});
  EXPECT_EQ(defaults.frames.directory, "plan_frames");
  EXPECT_EQ(defaults.frames.videoPath, "");
  EXPECT_EQ(parseViewerCommandLine({"PlanViewer", "--fps", "0"}).error,
            "--fps needs a positive number, not '0'");
  EXPECT_EQ(parseViewerCommandLine({"PlanViewer", "--video"}).error, "--video needs a value");
}
