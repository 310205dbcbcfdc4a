// BaseSimComp as a process: its map and status services and its command port answer real
// CORBA calls, a wall contact is reported and counted, the watchdog stops the base, and the
// summary comes at exit.
#include <gtest/gtest.h>

#include <DataPort.hh>
#include <Pexa.hh>
#include <RTC.hh>
#include <SimBase.hh>
#include <Zemla.hh>
#include <omniORB4/Naming.hh>

#include <chrono>
#include <cstring>
#include <thread>

#include "tests/support/test_support.h"

using namespace test_support;

namespace {

const Seconds kStartTimeout(20);
const Seconds kEventTimeout(20);
constexpr unsigned kCallTimeout_ms = 10000;
constexpr int kMapCells = 200;

// The test process's ORB (one per process, shared with the test support's name-server
// client, so it is never destroyed here), loopback only, every call time-limited.
class ClientOrb {
 public:
  ClientOrb() {
    int argc = 3;
    const char* argv[] = {"base_sim_process_test", "-ORBendPoint", "giop:tcp:127.0.0.1:"};
    orb_ = CORBA::ORB_init(argc, const_cast<char**>(argv));
    omniORB::setClientCallTimeout(kCallTimeout_ms);
  }
  CORBA::ORB_ptr orb() const { return orb_.in(); }

 private:
  CORBA::ORB_var orb_;
};

std::string stringProperty(const SDOPackage::NVList& list, const std::string& key) {
  for (CORBA::ULong i = 0; i < list.length(); ++i) {
    const char* value = nullptr;
    if (key == list[i].name.in() && (list[i].value >>= value)) return value;
  }
  return "";
}

void addProperty(SDOPackage::NVList& list, const char* key, const char* value) {
  const CORBA::ULong index = list.length();
  list.length(index + 1);
  list[index].name = key;
  list[index].value <<= value;
}

// Connects a port of the component on its own and returns what it published under `key`:
// a service port its provider's reference, an in-port its CDR receiver's.
CORBA::Object_ptr publishedObject(CORBA::ORB_ptr orb, RTC::RTObject_ptr component,
                                  const std::string& portName, const char* key, bool dataPort) {
  RTC::PortServiceList_var ports = component->get_ports();
  for (CORBA::ULong i = 0; i < ports->length(); ++i) {
    RTC::PortProfile_var profile = ports[i]->get_port_profile();
    if (portName != profile->name.in()) continue;
    RTC::ConnectorProfile connector;
    connector.name = "base_sim_process_test";
    connector.connector_id = "";
    connector.ports.length(1);
    connector.ports[0] = RTC::PortService::_duplicate(ports[i]);
    if (dataPort) {
      addProperty(connector.properties, "dataport.interface_type", "corba_cdr");
      addProperty(connector.properties, "dataport.dataflow_type", "push");
      addProperty(connector.properties, "dataport.subscription_type", "flush");
    }
    if (ports[i]->connect(connector) != RTC::RTC_OK) return CORBA::Object::_nil();
    const std::string ior = stringProperty(connector.properties, key);
    if (ior.empty()) return CORBA::Object::_nil();
    return orb->string_to_object(ior.c_str());
  }
  return CORBA::Object::_nil();
}

OpenRTM::CdrData encodeCommand(double vx_mps, double va_radps) {
  Pexa::TimedVelocity2D command;
  command.tm.sec = 0;
  command.tm.nsec = 0;
  command.data.vx = vx_mps;
  command.data.vy = 0.0;
  command.data.va = va_radps;
  cdrMemoryStream stream;
  command >>= stream;
  OpenRTM::CdrData octets;
  octets.length(static_cast<CORBA::ULong>(stream.bufSize()));
  std::memcpy(octets.get_buffer(), stream.bufPtr(), stream.bufSize());
  return octets;
}

float mapValue(const Zemla::TimedFloatRelativeOGMapData& map, int row, int column) {
  return map.cells[static_cast<CORBA::ULong>(row * kMapCells + column)];
}

void runRtctlOk(const NameServer& names, const std::vector<std::string>& arguments) {
  const RunResult result = runRtctl(names, arguments, Seconds(20));
  ASSERT_TRUE(result.status.exitedWith(0)) << result.out << result.err;
}

}  // namespace

TEST(BaseSimProcess, servicesAnswerAndAWallContactIsCountedAndSummarised) {
  TempDir dir("simbase-process-");
  // A wall across the way, 1 m ahead of the start.
  writeFile(dir.file("wall.plan"), "start 0 0 0\nwall 1.0 -2.0 1.0 2.0\n");
  NameServer names;
  RtcConfOptions conf;
  conf.nameServer = names.address();
  writeRtcConf(dir.path(), conf);
  ChildOptions inDir;
  inDir.workingDirectory = dir.path();
  ChildProcess base(binPath("BaseSimComp"), {"-f", dir.file("rtc.conf")}, inDir);
  ASSERT_TRUE(names.waitForBinding("BaseSim0.rtc", kStartTimeout)) << base.output();
  runRtctlOk(names, {"conf", "BaseSim0", "set", "floor_plan", dir.file("wall.plan")});
  runRtctlOk(names, {"activate", "BaseSim0"});
  ASSERT_TRUE(base.waitForOutput("wall.plan: 1 walls, start x=0.000", kStartTimeout))
      << base.output();

  ClientOrb client;
  std::string path;
  for (const std::string& binding : names.listBindings())
    if (binding.size() >= 12 && binding.compare(binding.size() - 12, 12, "BaseSim0.rtc") == 0)
      path = binding;
  ASSERT_FALSE(path.empty());
  CORBA::Object_var namingObject = client.orb()->string_to_object(names.corbaloc().c_str());
  CosNaming::NamingContextExt_var naming = CosNaming::NamingContextExt::_narrow(namingObject);
  CORBA::Object_var componentObject = naming->resolve_str(path.c_str());
  RTC::RTObject_var component = RTC::RTObject::_narrow(componentObject);
  ASSERT_FALSE(CORBA::is_nil(component));

  CORBA::Object_var mapObject =
      publishedObject(client.orb(), component, "BaseSim0.RelativeMapService",
                      "port.Zemla::RelativeMapService.RelativeMapService", false);
  Zemla::RelativeMapService_var mapService = Zemla::RelativeMapService::_narrow(mapObject);
  ASSERT_FALSE(CORBA::is_nil(mapService));
  CORBA::Object_var statusObject =
      publishedObject(client.orb(), component, "BaseSim0.BaseStatusService",
                      "port.SimBase::BaseStatusService.BaseStatusService", false);
  SimBase::BaseStatusService_var statusService = SimBase::BaseStatusService::_narrow(statusObject);
  ASSERT_FALSE(CORBA::is_nil(statusService));
  CORBA::Object_var commandObject = publishedObject(
      client.orb(), component, "BaseSim0.robot_control", "dataport.corba_cdr.inport_ior", true);
  OpenRTM::InPortCdr_var commandPort = OpenRTM::InPortCdr::_narrow(commandObject);
  ASSERT_FALSE(CORBA::is_nil(commandPort));

  // The map: 200 x 200, the wall 1 m ahead in the base's row (row 99), free before it,
  // unknown behind it.
  Zemla::TimedFloatRelativeOGMapData_var map = mapService->getFloatRelativeOGMap();
  ASSERT_EQ(map->mapconfig.width, 200u);
  ASSERT_EQ(map->mapconfig.height, 200u);
  ASSERT_EQ(map->cells.length(), 40000u);
  EXPECT_DOUBLE_EQ(map->mapconfig.xScale, 0.05);
  EXPECT_EQ(mapValue(map, 99, 99 + 20), 1.0f);  // 1000 mm ahead
  EXPECT_EQ(mapValue(map, 99, 99 + 10), 0.0f);
  EXPECT_EQ(mapValue(map, 99, 99 + 30), 0.5f);
  EXPECT_EQ(mapValue(map, 99, 99 - 30), 0.0f);  // behind the base: open

  // Drive into the wall, commanding as a planner does, until the contact.
  bool touched = false;
  for (int i = 0; i < 100 && !touched; ++i) {
    EXPECT_EQ(commandPort->put(encodeCommand(0.4, 0.0)), OpenRTM::PORT_OK);
    touched = base.waitForOutput("BaseSim: collision #1 at x=0.8", Seconds(0.2));
  }
  ASSERT_TRUE(touched) << base.output();
  SimBase::BaseStatus status = statusService->getStatus();
  EXPECT_EQ(status.collisions, 1);
  EXPECT_NEAR(status.x_m, 0.85, 0.01);
  EXPECT_LE(status.x_m, 0.85);
  EXPECT_NEAR(status.travelled_m, 0.85, 0.01);
  // Close to the wall the map sees it nearer: 150 mm ahead.
  map = mapService->getFloatRelativeOGMap();
  EXPECT_EQ(mapValue(map, 99, 99 + 3), 1.0f);

  // One turn command, then silence: the watchdog stops the base.
  EXPECT_EQ(commandPort->put(encodeCommand(0.0, 0.5)), OpenRTM::PORT_OK);
  ASSERT_TRUE(base.waitForOutput("no command within the watchdog time", kEventTimeout))
      << base.output();
  // It comes to rest within its deceleration and stays there.
  double heading = statusService->getStatus().heading_rad;
  for (int i = 0; i < 50; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const double now = statusService->getStatus().heading_rad;
    if (now == heading) break;
    heading = now;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_DOUBLE_EQ(statusService->getStatus().heading_rad, heading);
  EXPECT_GT(heading, 0.0);
  EXPECT_EQ(base.countInOutput("collision #"), 1);

  runRtctlOk(names, {"exit", "BaseSim0"});
  const auto ended = base.waitForExit(kEventTimeout);
  ASSERT_TRUE(ended) << base.output();
  EXPECT_TRUE(ended->exitedWith(0)) << ended->describe();
  EXPECT_NE(base.standardOutput().find("BaseSim: collisions 1, travelled 0.8"), std::string::npos)
      << base.output();
}

TEST(BaseSimProcess, unreadableFloorPlanIsOneLineAndNoMotion) {
  TempDir dir("simbase-process-");
  writeFile(dir.file("bad.plan"), "start 0 0 0\nwall 0 0 1\n");
  NameServer names;
  RtcConfOptions conf;
  conf.nameServer = names.address();
  writeRtcConf(dir.path(), conf);
  ChildProcess base(binPath("BaseSimComp"), {"-f", dir.file("rtc.conf")});
  ASSERT_TRUE(names.waitForBinding("BaseSim0.rtc", kStartTimeout)) << base.output();
  runRtctlOk(names, {"conf", "BaseSim0", "set", "floor_plan", dir.file("bad.plan")});
  runRtctl(names, {"activate", "BaseSim0"}, Seconds(20));
  ASSERT_TRUE(base.waitForOutput("bad.plan:2: 'wall' needs x1_m y1_m x2_m y2_m", kEventTimeout))
      << base.output();
  EXPECT_EQ(base.countInOutput("'wall' needs"), 1);
  EXPECT_TRUE(base.isRunning());
}
