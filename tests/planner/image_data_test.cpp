#include <planner/image_data.h>

#include <cstring>

#include <gtest/gtest.h>

#include <planner/planning_image.h>

namespace planner {
namespace {

TEST(ToImageData, copiesHeaderAndPixelsRowAfterRow) {
  cv::Mat image = makePlanningImage();
  image.at<cv::Vec3b>(0, 0) = cv::Vec3b(1, 2, 3);
  image.at<cv::Vec3b>(1, 0) = cv::Vec3b(4, 5, 6);
  image.at<cv::Vec3b>(399, 399) = cv::Vec3b(7, 8, 9);
  Orvn::TimedImageData out;
  toImageData(image, out);
  EXPECT_EQ(out.data.nChannels, 3);
  EXPECT_EQ(out.data.depth, 8);
  EXPECT_EQ(out.data.origin, 0);
  EXPECT_EQ(out.data.width, 400);
  EXPECT_EQ(out.data.height, 400);
  EXPECT_EQ(out.data.imageSize, 480000);
  EXPECT_EQ(out.data.widthStep, 1200);
  ASSERT_EQ(out.data.imgData.length(), 480000u);
  EXPECT_EQ(out.data.imgData[0], 1);
  EXPECT_EQ(out.data.imgData[2], 3);
  EXPECT_EQ(out.data.imgData[1200], 4);
  EXPECT_EQ(out.data.imgData[479999], 9);
}

TEST(ToImageData, widthStepTravelsAfterThePixelBytes) {
  cv::Mat image(2, 3, CV_8UC1, cv::Scalar(0xAB));
  // Characters are marshalled through the ORB's code set, so the ORB must be up.
  int argc = 1;
  char name[] = "image_data_test";
  char* argv[] = {name, nullptr};
  CORBA::ORB_var orb = CORBA::ORB_init(argc, argv);
  Orvn::TimedImageData out;
  out.tm.sec = 0;
  out.tm.nsec = 0;
  toImageData(image, out);
  cdrMemoryStream stream;
  out >>= stream;
  const auto* bytes = static_cast<const unsigned char*>(stream.bufPtr());
  // tm (8), six longs (24), the sequence length (4), 6 pixel bytes, 2 padding, widthStep.
  ASSERT_EQ(stream.bufSize(), 8u + 24u + 4u + 6u + 2u + 4u);
  CORBA::ULong length;
  std::memcpy(&length, bytes + 32, 4);
  EXPECT_EQ(length, 6u);
  EXPECT_EQ(bytes[36], 0xAB);
  CORBA::Long widthStep;
  std::memcpy(&widthStep, bytes + 44, 4);
  EXPECT_EQ(widthStep, 3);
}

TEST(MapReplyView, readsSizeAndCellsOfTheReply) {
  Zemla::TimedFloatRelativeOGMapData reply;
  reply.mapconfig.width = 3;
  reply.mapconfig.height = 2;
  reply.cells.length(6);
  reply.cells[5] = 0.75f;
  const MapReplyView view = viewOf(reply);
  EXPECT_EQ(view.width, 3u);
  EXPECT_EQ(view.height, 2u);
  EXPECT_EQ(view.cellCount, 6u);
  EXPECT_EQ(view.cells[5], 0.75f);
}

}  // namespace
}  // namespace planner
