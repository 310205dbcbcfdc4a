// A stand-in for the planner's outside world in cross-process tests: serves a fixed relative
// map (a wall across the robot's path 1.5 m ahead), writes a standing odometry pose and
// velocity every period, and reports what the planner sends back on its console:
//   "command vx=<m/s> va=<rad/s>"  for each robot_control sample,
//   "image <width>x<height> channels=<n> bytes=<n> step=<n>"  for each planning_img sample.
#include <cstdio>

// The data types come before the port templates that marshal them.
#include <idl/OrvnCdrCodec.h>
#include <Orvn.hh>
#include <Pexa.hh>
#include <Zemla.hh>

#include <rtm/CorbaPort.h>
#include <rtm/DataFlowComponentBase.h>
#include <rtm/DataInPort.h>
#include <rtm/DataOutPort.h>
#include <rtm/Manager.h>
#include <shell/component_shell.h>

namespace {

constexpr CORBA::ULong kMapCells = 200;
// Map column of the wall: grid my 199 - 129 = 70, i.e. 30 cells (1.5 m) ahead.
constexpr CORBA::ULong kWallMapColumn = 129;

class FixedMapService : public virtual POA_Zemla::RelativeMapService {
 public:
  RTC::OGMapConfig getRelativeOGMapConfig() override { return config(); }

  Zemla::TimedRelativeOGMapData* getRelativeOGMap() override {
    return filledMap<Zemla::TimedRelativeOGMapData>(CORBA::Octet{255});
  }

  Zemla::TimedFloatRelativeOGMapData* getFloatRelativeOGMap() override {
    return filledMap<Zemla::TimedFloatRelativeOGMapData>(1.0f);
  }

 private:
  template <class Reply, class Cell>
  static Reply* filledMap(Cell occupied) {
    auto* reply = new Reply();
    reply->mapconfig = config();
    reply->cells.length(kMapCells * kMapCells);
    for (CORBA::ULong i = 0; i < kMapCells * kMapCells; ++i)
      reply->cells[i] = i % kMapCells == kWallMapColumn ? occupied : Cell{0};
    return reply;
  }

  static RTC::OGMapConfig config() {
    RTC::OGMapConfig c{};
    c.xScale = c.yScale = 0.05;
    c.width = c.height = kMapCells;
    return c;
  }
};

class PlannerWorld : public RTC::DataFlowComponentBase {
 public:
  explicit PlannerWorld(RTC::Manager* manager)
      : RTC::DataFlowComponentBase(manager),
        poseOut_("robot_pose", pose_),
        velocityOut_("robot_velocity", velocity_),
        controlIn_("robot_control", control_),
        imageIn_("planning_img", image_),
        mapPort_("RelativeMapService") {}

  RTC::ReturnCode_t onInitialize() override {
    addOutPort("robot_pose", poseOut_);
    addOutPort("robot_velocity", velocityOut_);
    addInPort("robot_control", controlIn_);
    addInPort("planning_img", imageIn_);
    mapPort_.registerProvider("RelativeMapService", "Zemla::RelativeMapService", map_);
    addPort(mapPort_);
    return RTC::RTC_OK;
  }

  RTC::ReturnCode_t onExecute(RTC::UniqueId) override {
    pose_.data.position.x = 0.0;
    pose_.data.position.y = 0.0;
    pose_.data.heading = 0.0;
    poseOut_.write();
    velocity_.data.vx = 0.0;
    velocity_.data.vy = 0.0;
    velocity_.data.va = 0.0;
    velocityOut_.write();
    while (controlIn_.read())
      std::printf("command vx=%.3f va=%.3f\n", control_.data.vx, control_.data.va);
    while (imageIn_.read())
      std::printf("image %dx%d channels=%d bytes=%u step=%d\n", image_.data.width,
                  image_.data.height, image_.data.nChannels, image_.data.imgData.length(),
                  image_.data.widthStep);
    std::fflush(stdout);
    return RTC::RTC_OK;
  }

 private:
  Pexa::TimedPose2D pose_;
  RTC::OutPort<Pexa::TimedPose2D> poseOut_;
  Pexa::TimedVelocity2D velocity_;
  RTC::OutPort<Pexa::TimedVelocity2D> velocityOut_;
  Pexa::TimedVelocity2D control_;
  RTC::InPort<Pexa::TimedVelocity2D> controlIn_;
  Orvn::TimedImageData image_;
  RTC::InPort<Orvn::TimedImageData> imageIn_;
  RTC::CorbaPort mapPort_;
  FixedMapService map_;
};

// clang-format off
const char* const planner_world_spec[] = {
    "implementation_id", "PlannerWorld",
    "type_name",         "PlannerWorld",
    "description",       "Planner test world",
    "version",           "1.0.0",
    "vendor",            "Kesta",
    "category",          "Test",
    "activity_type",     "PERIODIC",
    "kind",              "DataFlowComponent",
    "max_instance",      "1",
    "language",          "C++",
    "lang_type",         "compile",
    ""};
// clang-format on

void registerWorld(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, planner_world_spec, shell::createComponent<PlannerWorld>,
                                  shell::destroyComponent);
}

void moduleInit(RTC::Manager* manager) {
  shell::createComponentOrFail(manager, registerWorld, "PlannerWorld");
}

}  // namespace

int main(int argc, char** argv) { return shell::runComponentProcess(argc, argv, moduleInit); }
