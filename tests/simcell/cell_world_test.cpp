#include "cell_world.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "cell_fixtures.h"

namespace hirosim {
namespace {

using testing::handAt;
using testing::kNarrowWidth_m;
using testing::kObjectHeight_m;
using testing::kTableZ_m;
using testing::kTrayTopZ_m;

constexpr int kRight = static_cast<int>(Side::Right);
constexpr int kLeft = static_cast<int>(Side::Left);
constexpr double kOpen_m = 0.07;
constexpr double kClosed_m = 0.029;  // 1 mm narrower than object 0

// Fingertips 20 mm below the top of object 0.
const geometry::Vec3 kObject0Grip{0.35, 0.1, kTableZ_m + kObjectHeight_m - 0.02};
const geometry::Vec3 kParked{0.2, -0.4, 0.3};

class CellWorldTest : public ::testing::Test {
 protected:
  CellWorldTest() : world_(testing::testScene(), testing::testAxes()) {}

  // Moves the left hand; the right one waits parked and open.
  std::vector<std::string> left(const HandState& hand) {
    std::array<HandState, 2> hands;
    hands[kRight] = handAt(kParked, 0, kOpen_m);
    hands[kLeft] = hand;
    return world_.update(hands);
  }

  std::vector<std::string> both(const HandState& rightHand, const HandState& leftHand) {
    std::array<HandState, 2> hands;
    hands[kRight] = rightHand;
    hands[kLeft] = leftHand;
    return world_.update(hands);
  }

  // Opens the left hand at `tip`, closes it there; returns the closing step's events.
  std::vector<std::string> closeLeftAt(const geometry::Vec3& tip, double turn_rad) {
    left(handAt(tip, turn_rad, kOpen_m));
    return left(handAt(tip, turn_rad, kClosed_m));
  }

  ObjectPlace object(int index) const { return world_.objectPlaces().at(index); }

  CellWorld world_;
};

bool contains(const std::vector<std::string>& lines, const std::string& text) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.find(text) == 0; });
}

TEST_F(CellWorldTest, fingersClosingAroundTheMiddleGraspTheObject) {
  const auto events = closeLeftAt(kObject0Grip, 0.0);
  ASSERT_EQ(events, std::vector<std::string>{"object 0 grasped by left hand"});
  EXPECT_EQ(object(0).support, Support::Hand);
  EXPECT_EQ(object(0).holder, Side::Left);
}

TEST_F(CellWorldTest, handTwoCentimetresOffDoesNotGrasp) {
  const geometry::Vec3 off{kObject0Grip.x() + 0.02, kObject0Grip.y(), kObject0Grip.z()};
  EXPECT_EQ(closeLeftAt(off, 0.0),
            std::vector<std::string>{"left hand closed beside object 0 without grasping it: the "
                                     "fingertips are 20 mm from its axis"});
  EXPECT_EQ(object(0).support, Support::Table);
}

TEST_F(CellWorldTest, fingersTurnedNinetyDegreesDoNotGrasp) {
  EXPECT_EQ(closeLeftAt(kObject0Grip, M_PI / 2),
            std::vector<std::string>{"left hand closed beside object 0 without grasping it: the "
                                     "fingers do not close across its width"});
  EXPECT_EQ(object(0).support, Support::Table);
}

TEST_F(CellWorldTest, fingertipsAboveTheObjectDoNotGrasp) {
  const geometry::Vec3 above{kObject0Grip.x(), kObject0Grip.y(),
                             kTableZ_m + kObjectHeight_m + 0.01};
  EXPECT_EQ(closeLeftAt(above, 0.0),
            std::vector<std::string>{"left hand closed beside object 0 without grasping it: the "
                                     "fingertips are 70 mm above its base, not on its side"});
}

TEST_F(CellWorldTest, handClosingFarFromEveryObjectSaysNothing) {
  EXPECT_TRUE(closeLeftAt({0.1, 0.3, 0.2}, 0.0).empty());
}

TEST_F(CellWorldTest, fingersAlreadyClosedDoNotGraspWhenMovedOntoTheObject) {
  left(handAt(kParked, 0, kClosed_m));
  EXPECT_TRUE(left(handAt(kObject0Grip, 0, kClosed_m)).empty());
  EXPECT_EQ(object(0).support, Support::Table);
}

TEST_F(CellWorldTest, graspedObjectMovesWithTheHand) {
  closeLeftAt(kObject0Grip, 0.0);
  left(handAt({0.30, 0.2, kObject0Grip.z() + 0.1}, 0.0, kClosed_m));
  EXPECT_NEAR(object(0).x_m, 0.30, 1e-9);
  EXPECT_NEAR(object(0).y_m, 0.2, 1e-9);
  EXPECT_NEAR(object(0).z_m, kTableZ_m + 0.1, 1e-9);
}

TEST_F(CellWorldTest, objectReleasedOverTheTrayEndsOnTheTray) {
  closeLeftAt(kObject0Grip, 0.0);
  // Carry it so that its base is 7 mm above the tray, 4 cm off the tray's centre.
  const geometry::Vec3 overTray{0.04, 0.45, kTrayTopZ_m + 0.007 + kObjectHeight_m - 0.02};
  left(handAt(overTray, 0.0, kClosed_m));
  const auto events = left(handAt(overTray, 0.0, kNarrowWidth_m + 0.002));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0], "object 0 released on tray at (0.040, 0.450, 0.015) m");
  EXPECT_EQ(object(0).support, Support::Tray);
  EXPECT_NEAR(object(0).z_m, kTrayTopZ_m, 1e-9);
}

TEST_F(CellWorldTest, objectReleasedBesideTheTrayFallsOnTheTable) {
  closeLeftAt(kObject0Grip, 0.0);
  const geometry::Vec3 beside{0.3, 0.0, kObject0Grip.z() + 0.05};
  left(handAt(beside, 0.0, kClosed_m));
  const auto events = left(handAt(beside, 0.0, kOpen_m));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_TRUE(contains(events, "object 0 released on table at (0.300, 0.000, 0.032) m"));
  EXPECT_EQ(object(0).support, Support::Table);
  EXPECT_NEAR(object(0).z_m, kTableZ_m, 1e-9);
}

TEST_F(CellWorldTest, fingersStillNarrowerThanTheObjectKeepHoldingIt) {
  closeLeftAt(kObject0Grip, 0.0);
  EXPECT_TRUE(left(handAt(kObject0Grip, 0.0, kNarrowWidth_m)).empty());
  EXPECT_EQ(object(0).support, Support::Hand);
}

// The tray is turned by 90 degrees: its grip points lie at x = +-0.15 around (0, 0.45),
// 5 cm above its top, and the fingers must open along x (hand turned by 90 degrees).
class TrayTest : public CellWorldTest {
 protected:
  const geometry::Vec3 kRightGrip{0.15, 0.45, kTrayTopZ_m + 0.05};
  const geometry::Vec3 kLeftGrip{-0.15, 0.45, kTrayTopZ_m + 0.05};

  static geometry::Vec3 raised(const geometry::Vec3& p, double dz) {
    return {p.x(), p.y(), p.z() + dz};
  }

  void gripBoth() {
    both(handAt(kRightGrip, M_PI / 2, 0.03), handAt(kLeftGrip, M_PI / 2, 0.03));
    both(handAt(kRightGrip, M_PI / 2, 0.0), handAt(kLeftGrip, M_PI / 2, 0.0));
  }
};

TEST_F(TrayTest, bothHandsAtTheGripPointsLiftTheTray) {
  gripBoth();
  both(handAt(raised(kRightGrip, 0.1), M_PI / 2, 0.0),
       handAt(raised(kLeftGrip, 0.1), M_PI / 2, 0.0));
  const TrayPlace tray = world_.trayPlace();
  EXPECT_TRUE(tray.lifted);
  EXPECT_NEAR(tray.topZ_m, kTrayTopZ_m + 0.1, 1e-9);
  EXPECT_NEAR(tray.x_m, 0.0, 1e-9);
  EXPECT_NEAR(tray.y_m, 0.45, 1e-9);
}

TEST_F(TrayTest, oneHandAloneDoesNotLiftTheTray) {
  both(handAt(kParked, 0, 0.0), handAt(kLeftGrip, M_PI / 2, 0.03));
  both(handAt(kParked, 0, 0.0), handAt(kLeftGrip, M_PI / 2, 0.0));
  both(handAt(kParked, 0, 0.0), handAt(raised(kLeftGrip, 0.1), M_PI / 2, 0.0));
  EXPECT_FALSE(world_.trayPlace().lifted);
  EXPECT_NEAR(world_.trayPlace().topZ_m, kTrayTopZ_m, 1e-9);
}

TEST_F(TrayTest, objectsOnTheTrayMoveWithIt) {
  closeLeftAt(kObject0Grip, 0.0);
  const geometry::Vec3 overTray{0.04, 0.45, kTrayTopZ_m + kObjectHeight_m - 0.02};
  left(handAt(overTray, 0.0, kClosed_m));
  left(handAt(overTray, 0.0, kOpen_m));
  ASSERT_EQ(object(0).support, Support::Tray);

  gripBoth();
  // Carry the tray 0.2 m towards -y and 0.1 m up.
  both(handAt({0.15, 0.25, kRightGrip.z() + 0.1}, M_PI / 2, 0.0),
       handAt({-0.15, 0.25, kLeftGrip.z() + 0.1}, M_PI / 2, 0.0));
  EXPECT_NEAR(object(0).x_m, 0.04, 1e-9);
  EXPECT_NEAR(object(0).y_m, 0.25, 1e-9);
  EXPECT_NEAR(object(0).z_m, kTrayTopZ_m + 0.1, 1e-9);
}

TEST_F(TrayTest, openingAHandSetsTheTrayDownWhereItIs) {
  gripBoth();
  both(handAt(raised(kRightGrip, 0.02), M_PI / 2, 0.0),
       handAt(raised(kLeftGrip, 0.02), M_PI / 2, 0.0));
  const auto events = both(handAt(raised(kRightGrip, 0.02), M_PI / 2, 0.03),
                           handAt(raised(kLeftGrip, 0.02), M_PI / 2, 0.03));
  EXPECT_TRUE(contains(events, "tray set down at (0.000, 0.450, 0.035) m"));
  EXPECT_FALSE(world_.trayPlace().lifted);
}

}  // namespace
}  // namespace hirosim
