// The readers against the real simulators: a HiroSimComp and a BaseSimComp as processes, a
// real name server, real CORBA calls on loopback.
#include "scene_sources.h"

#include <gtest/gtest.h>

#include <HiroNX.hh>
#include <cmath>

#include "remote_component.h"
#include "simulators.h"

namespace scene_views {
namespace {

using testing::orb;

constexpr double kRadPerDeg = M_PI / 180.0;

class CellAndBaseTest : public testing::SimulatorsTest {
 protected:
  CellSnapshot cellNow() {
    const auto service = findCellState(orb(), names_.address());
    EXPECT_TRUE(service.value) << service.error;
    if (!service.value) return {};
    const SourceReading<CellSnapshot> reading = readCell(*service.value);
    EXPECT_TRUE(reading.value) << reading.error;
    return reading.value.value_or(CellSnapshot{});
  }
};

TEST_F(CellAndBaseTest, theCellTellsTableTraySlotsObjectsHandsAndPutDownPlace) {
  const CellSnapshot cell = cellNow();
  ASSERT_FALSE(::testing::Test::HasFailure());

  ASSERT_TRUE(cell.table);
  EXPECT_NEAR(cell.table->topZ_mm, 32.0, 1e-9);
  // Not given by the default scene: the objects' footprints and 150 mm around them.
  EXPECT_LT(cell.table->minX_mm, 350.0 - 150.0);
  EXPECT_GT(cell.table->maxY_mm, 100.0 + 150.0);

  ASSERT_TRUE(cell.tray);
  EXPECT_NEAR(cell.tray->pose.x_mm, -81.615, 1e-6);
  EXPECT_NEAR(cell.tray->pose.y_mm, 462.86, 1e-6);
  EXPECT_NEAR(cell.tray->pose.topZ_mm, 15.0, 1e-9);
  EXPECT_NEAR(cell.tray->pose.yaw_rad, 100.0 * kRadPerDeg, 1e-9);
  EXPECT_NEAR(cell.tray->length_mm, 200.0, 1e-9);
  EXPECT_NEAR(cell.tray->width_mm, 300.0, 1e-9);
  EXPECT_NEAR(cell.tray->thickness_mm, 10.0, 1e-9);
  EXPECT_FALSE(cell.tray->lifted);

  ASSERT_EQ(cell.slots.size(), 4u);
  EXPECT_EQ(cell.slots[2].classId, 1);
  EXPECT_EQ(cell.slots[2].slot, 0);
  EXPECT_NEAR(cell.slots[2].along_mm, 40.0, 1e-9);
  EXPECT_NEAR(cell.slots[2].across_mm, -39.75, 1e-9);
  ASSERT_TRUE(cell.putDown);
  EXPECT_NEAR(cell.putDown->x_mm, 470.0, 1e-9);
  EXPECT_NEAR(cell.putDown->topZ_mm, 32.0, 1e-9);

  ASSERT_EQ(cell.objects.size(), 2u);
  EXPECT_EQ(cell.objects[1].index, 1);
  EXPECT_EQ(cell.objects[1].classId, 1);
  EXPECT_EQ(cell.objects[1].support, ObjectSupport::Table);
  EXPECT_NEAR(cell.objects[1].x_mm, 350.0, 1e-6);
  EXPECT_NEAR(cell.objects[1].y_mm, -100.0, 1e-6);
  EXPECT_NEAR(cell.objects[1].z_mm, 32.0, 1e-6);
  EXPECT_NEAR(cell.objects[1].width_mm, 50.0, 1e-9);
  EXPECT_NEAR(cell.objects[1].height_mm, 60.0, 1e-9);

  // Both hands, the left one on the robot's left; their opening directions are unit vectors.
  ASSERT_TRUE(cell.rightHand);
  ASSERT_TRUE(cell.leftHand);
  EXPECT_GT(cell.leftHand->y_mm, cell.rightHand->y_mm);
  for (const CellHand& hand : {*cell.rightHand, *cell.leftHand}) {
    EXPECT_NEAR(std::hypot(hand.openingX, hand.openingY, hand.openingZ), 1.0, 1e-9);
    EXPECT_GE(hand.opening_mm, 0.0);
  }
  ASSERT_TRUE(cell.time_s);
  EXPECT_GE(*cell.time_s, 0.0);
}

TEST_F(CellAndBaseTest, theCellTellsTheHandsOpeningAsItChanges) {
  auto component = demo_summary::findComponent(orb(), names_.address(), "HiroNX0");
  ASSERT_TRUE(component.error.empty()) << component.error;
  auto service =
      demo_summary::providedService(orb(), component.value, "HiroNX", "HiroNX", "manipulator");
  ASSERT_TRUE(service.error.empty()) << service.error;
  HiroNX_var nx = HiroNX::_narrow(service.value);
  ASSERT_FALSE(CORBA::is_nil(nx));

  nx->rhandOpen();  // returns when the fingers are 100 mm apart
  const CellSnapshot opened = cellNow();
  ASSERT_TRUE(opened.rightHand);
  EXPECT_NEAR(opened.rightHand->opening_mm, 100.0, 0.5);
  nx->rhandClose();
  const CellSnapshot closed = cellNow();
  ASSERT_TRUE(closed.rightHand);
  EXPECT_NEAR(closed.rightHand->opening_mm, 0.0, 0.5);
  EXPECT_GT(*closed.time_s, *opened.time_s);
}

TEST_F(CellAndBaseTest, theBaseTellsItsBuildingOnceActivatedAndItsTruePose) {
  const auto service = findBaseStatus(orb(), names_.address());
  ASSERT_TRUE(service.value) << service.error;

  const SourceReading<BuildingSnapshot> early = readBuilding(*service.value);
  EXPECT_FALSE(early.value);
  EXPECT_EQ(early.error, "the base has not loaded its floor plan yet (it loads it when activated)");

  activateBase();
  ASSERT_FALSE(HasFatalFailure());

  const SourceReading<BuildingSnapshot> building = readBuilding(*service.value);
  ASSERT_TRUE(building.value) << building.error;
  EXPECT_EQ(building.value->walls.size(), 6u);
  EXPECT_DOUBLE_EQ(building.value->walls[0].from.x_m, -0.8);
  EXPECT_DOUBLE_EQ(building.value->walls[0].to.x_m, 5.0);
  ASSERT_TRUE(building.value->arrival);
  EXPECT_DOUBLE_EQ(building.value->arrival->x_m, 4.7);
  EXPECT_DOUBLE_EQ(building.value->arrival->y_m, -3.4);
  ASSERT_TRUE(building.value->finish);
  ASSERT_TRUE(building.value->start);
  EXPECT_GT(building.value->footprintRadius_m, 0.0);
  EXPECT_FALSE(building.value->base);
  EXPECT_TRUE(building.value->pathDriven.empty());

  const SourceReading<BaseNow> now = readBaseNow(*service.value);
  ASSERT_TRUE(now.value) << now.error;
  EXPECT_DOUBLE_EQ(now.value->pose.x_m, 0.0);
  EXPECT_DOUBLE_EQ(now.value->pose.y_m, 0.0);
  EXPECT_DOUBLE_EQ(now.value->pose.heading_rad, 0.0);
}

TEST_F(CellAndBaseTest, aBaseFollowerCollectsThePathAndSaysWhatIsMissing) {
  BaseFollower follower(orb(), names_.address());
  EXPECT_EQ(follower.sample(),
            "BaseSim0: the base has not loaded its floor plan yet (it loads it when activated)");
  EXPECT_TRUE(follower.poseKnown());
  EXPECT_FALSE(follower.buildingKnown());
  activateBase();
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(follower.sample(), "");
  EXPECT_TRUE(follower.buildingKnown());
  const BuildingSnapshot snapshot = follower.snapshot();
  EXPECT_EQ(snapshot.walls.size(), 6u);
  ASSERT_TRUE(snapshot.base);
  EXPECT_DOUBLE_EQ(snapshot.base->x_m, 0.0);
  EXPECT_EQ(snapshot.pathDriven.size(), 1u);
  ASSERT_TRUE(snapshot.time_s);

  // The base ends: said with the reason, and said on every sample after (the same reason, or
  // the next lookup's) until it is back.
  base_.reset();
  const std::string gone = follower.sample();
  EXPECT_EQ(gone.rfind("BaseSim0: asking the base for its pose: CORBA ", 0), 0u) << gone;
  for (int i = 0; i < 5; ++i) EXPECT_NE(follower.sample(), "");
  // What was known stays.
  EXPECT_EQ(follower.snapshot().walls.size(), 6u);
}

TEST_F(CellAndBaseTest, aCellReaderFindsTheCellAndSaysWhenItIsGone) {
  CellReader reader(orb(), names_.address());
  const SourceReading<CellSnapshot> first = reader.read();
  ASSERT_TRUE(first.value) << first.error;
  EXPECT_EQ(first.value->objects.size(), 2u);
  cell_.reset();
  const SourceReading<CellSnapshot> gone = reader.read();
  EXPECT_FALSE(gone.value);
  EXPECT_EQ(gone.error.rfind("RobotController0: asking the cell for its state: CORBA ", 0), 0u)
      << gone.error;
}

TEST_F(CellAndBaseTest, aMissingComponentOrAGoneSimulatorIsAReasonNotACrash) {
  const auto missing = findCellState(orb(), names_.address(), "NoSuchCell0");
  EXPECT_FALSE(missing.value);
  EXPECT_NE(missing.error.find("NoSuchCell0"), std::string::npos) << missing.error;

  const auto notACell = findCellState(orb(), names_.address(), "BaseSim0");
  EXPECT_FALSE(notACell.value);
  EXPECT_NE(notACell.error.find("BaseSim0"), std::string::npos) << notACell.error;

  const auto service = findCellState(orb(), names_.address());
  ASSERT_TRUE(service.value) << service.error;
  cell_.reset();  // the simulator ends
  const SourceReading<CellSnapshot> reading = readCell(*service.value);
  EXPECT_FALSE(reading.value);
  EXPECT_EQ(reading.error.rfind("asking the cell for its state: CORBA ", 0), 0u) << reading.error;
}

}  // namespace
}  // namespace scene_views
