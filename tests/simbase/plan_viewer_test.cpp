#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "frame_annotation.h"
#include "frame_caption.h"
#include "frame_writer.h"
#include "image_frame.h"
#include "tool_command_line.h"
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

namespace {

using Words = std::vector<std::string>;

struct ParsedViewerLine : simbase_test::ParsedCommandLine {
  FrameWriterOptions frames;
};

ParsedViewerLine parseViewerLine(const Words& words) {
  ParsedViewerLine parsed;
  static_cast<simbase_test::ParsedCommandLine&>(parsed) = simbase_test::parseCommandLine(
      words, [&](CLI::App& app) { addViewerOptions(app, parsed.frames); });
  return parsed;
}

const cv::Vec3b kPanel(48, 48, 48);
const cv::Vec3b kWhite(255, 255, 255);

// A 400 x 400 picture whose pixel (x, y) is (x % 256, y % 256, 7).
cv::Mat gradientPicture() {
  cv::Mat picture(400, 400, CV_8UC3);
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 400; ++x) picture.at<cv::Vec3b>(y, x) = cv::Vec3b(x % 256, y % 256, 7);
  return picture;
}

cv::Mat blackPicture() { return cv::Mat(400, 400, CV_8UC3, cv::Scalar::all(0)); }

}  // namespace

TEST(ViewerCommandLine, ownOptionsAreTakenTheRestGoesToTheMiddleware) {
  const ParsedViewerLine line = parseViewerLine({"PlanViewer", "-f", "rtc.conf", "--dir", "out",
                                                 "--video", "run.avi", "--fps", "4", "-o", "a:b"});
  ASSERT_FALSE(line.status) << line.error;
  EXPECT_EQ(line.frames.directory, "out");
  EXPECT_EQ(line.frames.videoPath, "run.avi");
  EXPECT_DOUBLE_EQ(line.frames.videoRate_fps, 4.0);
  EXPECT_EQ(line.middleware, (Words{"PlanViewer", "-f", "rtc.conf", "-o", "a:b"}));
  const ParsedViewerLine defaults = parseViewerLine({"PlanViewer"});
  ASSERT_FALSE(defaults.status);
  EXPECT_EQ(defaults.frames.directory, "plan_frames");
  EXPECT_EQ(defaults.frames.videoPath, "");
  EXPECT_DOUBLE_EQ(defaults.frames.videoRate_fps, 2.0);
}

TEST(ViewerCommandLine, valuesOutOfRangeEndTheProgramWithItsUsage) {
  for (const Words& words : {Words{"PlanViewer", "--fps", "0"}, Words{"PlanViewer", "--fps", "nan"},
                             Words{"PlanViewer", "--fps", "5000"},
                             Words{"PlanViewer", "--fps", "-2"}, Words{"PlanViewer", "--dir", ""},
                             Words{"PlanViewer", "--video"}, Words{"PlanViewer", "--bogus"}}) {
    const ParsedViewerLine line = parseViewerLine(words);
    EXPECT_EQ(line.status, 2) << words.back();
    EXPECT_NE(line.error.find("Usage"), std::string::npos) << line.error;
  }
  EXPECT_NE(parseViewerLine({"PlanViewer", "--fps", "0"}).error.find("--fps"), std::string::npos);
}

TEST(AnnotatedFrame, keepsThePictureAndAddsThePanelOnItsRight) {
  const cv::Mat picture = gradientPicture();
  const cv::Mat frame = annotatedFrame(picture, {12, 5.5, false});
  ASSERT_EQ(frame.cols, 400 + kPanelWidth_px);
  ASSERT_EQ(frame.rows, 400);
  EXPECT_EQ(cv::norm(frame(cv::Rect(0, 0, 400, 400)), picture, cv::NORM_INF), 0.0);
  // The panel's last column is background from top to bottom.
  for (int y = 0; y < 400; ++y) ASSERT_EQ(frame.at<cv::Vec3b>(y, frame.cols - 1), kPanel) << y;
}

TEST(AnnotatedFrame, scaleBarIsOneMetreOfThePlannersPicture) {
  const cv::Mat frame = annotatedFrame(blackPicture(), {});
  const int left = 400 + kScaleBarX_px;
  // 1 m = 20 cells of 50 mm = 40 pixels: the bar covers exactly 41 pixels with both ends.
  for (int x = left; x <= left + 40; ++x)
    EXPECT_EQ(frame.at<cv::Vec3b>(kScaleBarY_px, x), kWhite) << x;
  EXPECT_EQ(frame.at<cv::Vec3b>(kScaleBarY_px, left - 1), kPanel);
  EXPECT_EQ(frame.at<cv::Vec3b>(kScaleBarY_px, left + 41), kPanel);
  // Ticks up at both ends, none in between.
  EXPECT_EQ(frame.at<cv::Vec3b>(kScaleBarY_px - 3, left), kWhite);
  EXPECT_EQ(frame.at<cv::Vec3b>(kScaleBarY_px - 3, left + 40), kWhite);
  EXPECT_EQ(frame.at<cv::Vec3b>(kScaleBarY_px - 3, left + 20), kPanel);
}

TEST(AnnotatedFrame, legendShowsEachColourAtItsRow) {
  const cv::Mat frame = annotatedFrame(blackPicture(), {});
  const auto& entries = legendEntries();
  ASSERT_EQ(entries.size(), 8u);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const LegendEntry& entry = entries[i];
    const cv::Point centre(400 + kLegendSwatchX_px,
                           kLegendFirstY_px + static_cast<int>(i) * kLegendPitch_px);
    const cv::Vec3b atCentre = frame.at<cv::Vec3b>(centre);
    if (entry.mark == LegendEntry::Mark::Ring) {
      EXPECT_EQ(atCentre, kPanel) << entry.label;
      EXPECT_EQ(frame.at<cv::Vec3b>(centre.y, centre.x + entry.radius_px), entry.colour)
          << entry.label;
    } else {
      EXPECT_EQ(atCentre, entry.colour) << entry.label;
    }
  }
  EXPECT_EQ(entries[1].colour, cv::Vec3b(0, 255, 0));
  EXPECT_EQ(std::string(entries[5].label), "goal: odometry origin");
}

TEST(AnnotatedFrame, captionNamesTheStepAndTheTime) {
  EXPECT_EQ(stepText({57, 0.0, false}), "step 57");
  EXPECT_EQ(stepText({57, 0.0, true}), "step 57, no map");
  EXPECT_EQ(timeText({1, 12.46, false}), "t 12.5 s");
  // Another caption changes the caption's pixels and nothing else.
  const cv::Mat first = annotatedFrame(blackPicture(), {1, 0.5, false});
  const cv::Mat second = annotatedFrame(blackPicture(), {2, 0.5, false});
  cv::Mat differs;
  cv::compare(first.reshape(1), second.reshape(1), differs, cv::CMP_NE);
  const cv::Rect changed = cv::boundingRect(differs);
  EXPECT_GT(changed.area(), 0);
  EXPECT_GE(changed.x / 3, 400);
  EXPECT_LE(changed.y + changed.height, kCaptionStepY_px + 4);
}

TEST(AnnotatedFrame, aSmallPictureGetsAFullHeightPanel) {
  const cv::Mat frame = annotatedFrame(cv::Mat(2, 3, CV_8UC3, cv::Scalar(1, 2, 3)), {});
  ASSERT_EQ(frame.rows, kPanelHeight_px);
  ASSERT_EQ(frame.cols, 3 + kPanelWidth_px);
  EXPECT_EQ(frame.at<cv::Vec3b>(1, 2), cv::Vec3b(1, 2, 3));
  EXPECT_EQ(frame.at<cv::Vec3b>(2, 0), cv::Vec3b(0, 0, 0));
}

TEST(CaptionCounter, countsStepsButNotPicturesWithoutAMapAndTimesFromTheFirst) {
  cv::Mat step = blackPicture();
  step.at<cv::Vec3b>(200, 200) = cv::Vec3b(15, 129, 239);
  cv::Mat noMap = blackPicture();
  noMap.at<cv::Vec3b>(385, 20) = kWhite;
  CaptionCounter captions(4.0);  // four simulated seconds per second
  const FrameCaption first = captions.next(step, 100.0);
  EXPECT_EQ(first.step, 1);
  EXPECT_DOUBLE_EQ(first.time_s, 0.0);
  const FrameCaption missing = captions.next(noMap, 100.5);
  EXPECT_EQ(missing.step, 1);
  EXPECT_TRUE(missing.mapMissing);
  EXPECT_DOUBLE_EQ(missing.time_s, 2.0);
  const FrameCaption second = captions.next(step, 101.0);
  EXPECT_EQ(second.step, 2);
  EXPECT_FALSE(second.mapMissing);
  EXPECT_DOUBLE_EQ(second.time_s, 4.0);
}

TEST(MapMissingPicture, isBlackButForTheStatusLinesAtTheBottom) {
  EXPECT_FALSE(isMapMissingPicture(blackPicture()));
  cv::Mat status = blackPicture();
  status.at<cv::Vec3b>(370, 100) = kWhite;
  EXPECT_TRUE(isMapMissingPicture(status));
  status.at<cv::Vec3b>(200, 100) = cv::Vec3b(0, 255, 0);
  EXPECT_FALSE(isMapMissingPicture(status));
  EXPECT_FALSE(isMapMissingPicture(cv::Mat(2, 3, CV_8UC3, cv::Scalar::all(0))));
}
