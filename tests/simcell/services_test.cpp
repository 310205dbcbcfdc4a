// The simulated services through CORBA: servants activated on a POA of this process, called
// through their object references.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>

#include "cell_driver.h"
#include "cell_fixtures.h"
#include "controller_services.h"
#include "openhrp_services.h"
#include "toy_arm_kinematics.h"

namespace hirosim {
namespace {

constexpr double kTimeScale = 50.0;
constexpr auto kTestTimeout = std::chrono::seconds(20);

CORBA::ORB_ptr orb() {
  static CORBA::ORB_var instance = [] {
    int argc = 3;
    const char* argv[] = {"services_test", "-ORBendPoint", "giop:tcp:127.0.0.1:"};
    CORBA::ORB_var created = CORBA::ORB_init(argc, const_cast<char**>(argv));
    CORBA::Object_var object = created->resolve_initial_references("RootPOA");
    PortableServer::POA_var poa = PortableServer::POA::_narrow(object);
    PortableServer::POAManager_var manager = poa->the_POAManager();
    manager->activate();
    return created;
  }();
  return instance.in();
}

template <class Interface, class Servant>
typename Interface::_ptr_type activate(Servant& servant) {
  CORBA::Object_var object = orb()->resolve_initial_references("RootPOA");
  PortableServer::POA_var poa = PortableServer::POA::_narrow(object);
  PortableServer::ObjectId_var id = poa->activate_object(&servant);
  CORBA::Object_var reference = poa->id_to_reference(id.in());
  return Interface::_narrow(reference.in());
}

template <class Servant>
void deactivate(Servant& servant) {
  CORBA::Object_var object = orb()->resolve_initial_references("RootPOA");
  PortableServer::POA_var poa = PortableServer::POA::_narrow(object);
  PortableServer::ObjectId_var id = poa->servant_to_id(&servant);
  poa->deactivate_object(id.in());
}

MotionCommands::JointPos pointWithChest(double chest_deg, CORBA::ULong length = 24) {
  MotionCommands::JointPos point;
  point.length(length);
  for (CORBA::ULong i = 0; i < length; ++i) point[i] = 0.0;
  if (length > 0) point[0] = chest_deg;
  return point;
}

class ServicesTest : public ::testing::Test {
 protected:
  ServicesTest()
      : cell_(testing::testScene(), std::make_shared<testing::ToyArmKinematics>(), JointVector{},
              nullptr, [this](const std::string& line) { refusals_.push_back(line); }),
        motionServant_(cell_),
        hiroNxServant_(cell_),
        hardwareServant_(cell_),
        armServant_(cell_, Side::Left),
        lumerisServant_(cell_),
        cellStateServant_(cell_) {
    motion_ = activate<MotionCommands>(motionServant_);
    hiroNx_ = activate<HiroNX>(hiroNxServant_);
    hardware_ = activate<OpenHRP::RobotHardwareService>(hardwareServant_);
    arm_ = activate<OpenHRP::ArmControlService>(armServant_);
    lumeris_ = activate<LumerisRTC::LumerisService>(lumerisServant_);
    cellState_ = activate<HiroSim::CellState>(cellStateServant_);
  }

  ~ServicesTest() override {
    cell_.shutdown();
    deactivate(motionServant_);
    deactivate(hiroNxServant_);
    deactivate(hardwareServant_);
    deactivate(armServant_);
    deactivate(lumerisServant_);
    deactivate(cellStateServant_);
  }

  double chestAngle_rad() {
    OpenHRP::RobotHardwareService::RobotState_var state;
    hardware_->getStatus(state.out());
    EXPECT_EQ(state->angle.length(), 23u);
    return state->angle.length() > 0 ? state->angle[0] : NAN;
  }

  MotionCommands::RETURN_ID_var move(const MotionCommands::JointPosSeq& points,
                                     const MotionCommands::DoubleSeq& times) {
    return motion_->movePTPJointAbsSeq(points, times);
  }

  std::vector<std::string> refusals_;
  HiroCell cell_;
  MotionCommandsSVC_impl motionServant_;
  HiroNXSVC_impl hiroNxServant_;
  RobotHardwareServiceSVC_impl hardwareServant_;
  ArmControlServiceSVC_impl armServant_;
  LumerisServiceSVC_impl lumerisServant_;
  CellStateSVC_impl cellStateServant_;
  MotionCommands_var motion_;
  HiroNX_var hiroNx_;
  OpenHRP::RobotHardwareService_var hardware_;
  OpenHRP::ArmControlService_var arm_;
  LumerisRTC::LumerisService_var lumeris_;
  HiroSim::CellState_var cellState_;
};

TEST_F(ServicesTest, trajectoryCallReturnsAtTheEndWithIdZero) {
  CellDriver driver(cell_, kTimeScale);
  MotionCommands::JointPosSeq points;
  points.length(2);
  points[0] = pointWithChest(30.0);
  points[1] = pointWithChest(-15.0);
  MotionCommands::DoubleSeq times;
  times.length(2);
  times[0] = 2.0;
  times[1] = 1.0;
  const auto result = move(points, times);
  EXPECT_EQ(result->id, 0) << result->comment.in();
  EXPECT_NEAR(chestAngle_rad(), -15.0 * M_PI / 180.0, 1e-12);
}

TEST_F(ServicesTest, refusedTrajectoryGivesAReasonAndMovesNothing) {
  CellDriver driver(cell_, kTimeScale);
  MotionCommands::JointPosSeq points;
  points.length(1);
  points[0] = pointWithChest(30.0, 23);
  MotionCommands::DoubleSeq times;
  times.length(1);
  times[0] = 1.0;
  const auto result = move(points, times);
  EXPECT_NE(result->id, 0);
  EXPECT_STREQ(result->comment.in(), "point 0 has 23 elements, 24 expected");
  EXPECT_DOUBLE_EQ(chestAngle_rad(), 0.0);
}

TEST_F(ServicesTest, protectiveStopEndsTheRunningTrajectoryCall) {
  CellDriver driver(cell_, kTimeScale);
  MotionCommands::JointPosSeq points;
  points.length(1);
  points[0] = pointWithChest(90.0);
  MotionCommands::DoubleSeq times;
  times.length(1);
  times[0] = 1000.0;  // 20 s of wall time at this scale: ended by the stop long before
  auto call = std::async(std::launch::async, [&] { return move(points, times); });
  while (chestAngle_rad() == 0.0) {
    ASSERT_NE(call.wait_for(std::chrono::milliseconds(2)), std::future_status::ready);
  }
  hiroNx_->EngageProtectiveStop();
  ASSERT_EQ(call.wait_for(kTestTimeout), std::future_status::ready);
  const auto result = call.get();
  EXPECT_NE(result->id, 0);
  EXPECT_NE(std::string(result->comment.in()).find("protective stop"), std::string::npos);

  const double halted = chestAngle_rad();
  EXPECT_GT(halted, 0.0);
  EXPECT_LT(halted, 90.0 * M_PI / 180.0);
  times[0] = 0.1;
  const auto refused = move(points, times);
  EXPECT_NE(refused->id, 0);
  EXPECT_DOUBLE_EQ(chestAngle_rad(), halted);

  hiroNx_->DisengageProtectiveStop();
  const auto accepted = move(points, times);
  EXPECT_EQ(accepted->id, 0) << accepted->comment.in();
  EXPECT_NEAR(chestAngle_rad(), 90.0 * M_PI / 180.0, 1e-12);
}

TEST_F(ServicesTest, servoOffRefusesMotion) {
  EXPECT_TRUE(hardware_->servo("LARM", OpenHRP::SWITCH_OFF));
  EXPECT_FALSE(hardware_->servo("ELBOW", OpenHRP::SWITCH_OFF));
  MotionCommands::JointPosSeq points;
  points.length(1);
  points[0] = pointWithChest(10.0);
  MotionCommands::DoubleSeq times;
  times.length(1);
  times[0] = 0.5;
  const auto result = move(points, times);
  EXPECT_NE(result->id, 0);
  EXPECT_STREQ(result->comment.in(), "the servo of LARM is off");
}

TEST_F(ServicesTest, armControlReportsItsHandPoseAndBusyState) {
  ASSERT_EQ(arm_->setTargetAngular(0.3, 0.2, 0.25, 0.4, -M_PI / 2, 0.0, 1.0), 0.0);
  EXPECT_EQ(arm_->checkStatus(), OpenHRP::ArmControlService::ArmBusyState);
  cell_.step(200);
  EXPECT_EQ(arm_->checkStatus(), OpenHRP::ArmControlService::IDLE);
  CORBA::Double x, y, z, r, p, yaw;
  arm_->getCurrentConfiguration(x, y, z, r, p, yaw);
  EXPECT_NEAR(x, 0.3, 1e-9);
  EXPECT_NEAR(y, 0.2, 1e-9);
  EXPECT_NEAR(z, 0.25, 1e-9);
  EXPECT_NEAR(r - yaw, 0.4, 1e-9);  // at pitch -90 degrees only r - yaw is defined
  EXPECT_NEAR(p, -M_PI / 2, 1e-9);
  EXPECT_LT(arm_->setTargetAngular(5.0, 0.0, 0.3, 0.0, -M_PI / 2, 0.0, 1.0), 0.0);
}

TEST_F(ServicesTest, estimationReportsTheFirstObjectOnTheTable) {
  RTC::Pose3D world{{0.35, -0.096, 0.032}, {0.0, 0.0, 0.0}};
  CORBA::Long id = -5;
  RTC::Size3D size;
  RTC::Pose3D pose;
  EXPECT_EQ(lumeris_->getLastEstimatedResult(world, id, size, pose), 0);
  EXPECT_EQ(id, 0);
  EXPECT_DOUBLE_EQ(size.w, 0.03);
  EXPECT_DOUBLE_EQ(size.h, testing::kObjectHeight_m);
  EXPECT_NEAR(pose.position.x, 0.35, 1e-12);
  EXPECT_NEAR(pose.position.y, 0.1, 1e-12);

  world.orientation.y = NAN;
  EXPECT_EQ(lumeris_->getLastEstimatedResult(world, id, size, pose), -1);
  EXPECT_EQ(id, -1);
  ASSERT_FALSE(refusals_.empty());
  EXPECT_EQ(refusals_.back(),
            "getLastEstimatedResult refused: the world pose holds a non-finite value");
}

TEST_F(ServicesTest, cellStateListsEveryObjectAndTheTray) {
  HiroSim::ObjectPlaceSeq_var objects = cellState_->getObjectPlaces();
  ASSERT_EQ(objects->length(), 2u);
  EXPECT_EQ(objects[1].classId, 1);
  EXPECT_EQ(objects[1].support, HiroSim::ON_TABLE);
  EXPECT_NEAR(objects[1].y, -0.1, 1e-12);
  const HiroSim::TrayPlace tray = cellState_->getTrayPlace();
  EXPECT_NEAR(tray.y, 0.45, 1e-12);
  EXPECT_NEAR(tray.z, testing::kTrayTopZ_m, 1e-12);
  EXPECT_FALSE(tray.lifted);
}

}  // namespace
}  // namespace hirosim
