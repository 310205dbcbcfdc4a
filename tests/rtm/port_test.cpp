#include "manager_environment.h"
#include "test_components.h"

#include <rtm/CorbaConsumer.h>
#include <rtm/CorbaPort.h>
#include <rtm/DataInPort.h>
#include <rtm/DataOutPort.h>
#include <rtm/NVUtil.h>
#include <rtm/idl/BasicDataTypeSkel.h>
#include <rtm/idl/ExtendedDataTypesSkel.h>

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

namespace {
using rtm_test::RecordingComponent;

::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new rtm_test::ManagerEnvironment);

// A writer and a reader of strings, and a reader of poses, all on one component.
class Ports : public RecordingComponent {
 public:
  explicit Ports(RTC::Manager* manager)
      : RecordingComponent(manager),
        out("out", outValue),
        in("in", inValue),
        poseIn("pose", poseValue, 4),
        servicePort("service"),
        otherServicePort("client") {}
  RTC::TimedString outValue;
  RTC::TimedString inValue;
  RTC::TimedPose2D poseValue;
  RTC::OutPort<RTC::TimedString> out;
  RTC::InPort<RTC::TimedString> in;
  RTC::InPort<RTC::TimedPose2D> poseIn;
  RTC::CorbaPort servicePort;
  RTC::CorbaPort otherServicePort;

  RTC::ReturnCode_t onInitialize() override {
    addOutPort("out", out);
    addInPort("in", in);
    addInPort("pose", poseIn);
    addPort(servicePort);
    addPort(otherServicePort);
    return RTC::RTC_OK;
  }
};

// A writer of words and a reader that makes the writer wait instead of dropping words.
class CommandPorts : public RecordingComponent {
 public:
  static constexpr int kBufferLength = 2;
  explicit CommandPorts(RTC::Manager* manager)
      : RecordingComponent(manager),
        out("out", outValue),
        in("in", inValue, kBufferLength, false, true, 0, 0) {}
  RTC::TimedString outValue;
  RTC::TimedString inValue;
  RTC::OutPort<RTC::TimedString> out;
  RTC::InPort<RTC::TimedString> in;

  RTC::ReturnCode_t onInitialize() override {
    addOutPort("out", out);
    addInPort("in", in);
    return RTC::RTC_OK;
  }
};

// Notes in onDeactivated and onFinalize whether its out-port is still connected and still
// delivers, as a component writing a last word there would need.
class LastWords : public Ports {
 public:
  explicit LastWords(RTC::Manager* manager) : Ports(manager) {}
  RTC::ReturnCode_t onDeactivated(RTC::UniqueId) override { return note("onDeactivated"); }
  RTC::ReturnCode_t onFinalize() override { return note("onFinalize"); }
  std::vector<std::string> notes() const {
    std::lock_guard<std::mutex> lock(notesMutex_);
    return notes_;
  }

 private:
  RTC::ReturnCode_t note(const std::string& callback) {
    outValue.data = callback.c_str();
    const bool delivered = out.write() && in.read() && callback == inValue.data.in();
    std::lock_guard<std::mutex> lock(notesMutex_);
    notes_.push_back(callback + (delivered ? " delivered" : " not delivered"));
    return RTC::RTC_OK;
  }
  mutable std::mutex notesMutex_;
  std::vector<std::string> notes_;
};

// An execution context's service, used here as a stand-in provided interface.
class RateService : public virtual POA_RTC::ExecutionContext {
 public:
  CORBA::Boolean is_running() override { return true; }
  RTC::ReturnCode_t start() override { return RTC::RTC_OK; }
  RTC::ReturnCode_t stop() override { return RTC::RTC_OK; }
  CORBA::Double get_rate() override { return 42.0; }
  RTC::ReturnCode_t set_rate(CORBA::Double) override { return RTC::RTC_OK; }
  RTC::ReturnCode_t add_component(RTC::LightweightRTObject_ptr) override { return RTC::RTC_OK; }
  RTC::ReturnCode_t remove_component(RTC::LightweightRTObject_ptr) override { return RTC::RTC_OK; }
  RTC::ReturnCode_t activate_component(RTC::LightweightRTObject_ptr) override {
    return RTC::RTC_OK;
  }
  RTC::ReturnCode_t deactivate_component(RTC::LightweightRTObject_ptr) override {
    return RTC::RTC_OK;
  }
  RTC::ReturnCode_t reset_component(RTC::LightweightRTObject_ptr) override { return RTC::RTC_OK; }
  RTC::LifeCycleState get_component_state(RTC::LightweightRTObject_ptr) override {
    return RTC::INACTIVE_STATE;
  }
  RTC::ExecutionKind get_kind() override { return RTC::OTHER; }
};

// Records the CDR octets pushed to it, as a reader on another node would get them.
class RecordingReader : public virtual POA_OpenRTM::InPortCdr {
 public:
  OpenRTM::PortStatus put(const OpenRTM::CdrData& data) override {
    std::lock_guard<std::mutex> lock(mutex);
    received.assign(data.get_buffer(), data.get_buffer() + data.length());
    return OpenRTM::PORT_OK;
  }
  std::mutex mutex;
  std::vector<unsigned char> received;
};

RTC::ConnectorProfile profileFor(std::vector<RTC::PortService_ptr> ports,
                                 std::vector<std::pair<std::string, std::string>> properties = {}) {
  RTC::ConnectorProfile profile;
  profile.name = "test";
  profile.connector_id = "";
  profile.ports.length(static_cast<CORBA::ULong>(ports.size()));
  for (CORBA::ULong i = 0; i < ports.size(); ++i)
    profile.ports[i] = RTC::PortService::_duplicate(ports[i]);
  for (const auto& property : properties)
    NVUtil::setString(profile.properties, property.first, property.second);
  return profile;
}

class PortTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { rtm_test::registerTestFactory<Ports>("Ports", "0"); }
  void SetUp() override {
    component = static_cast<Ports*>(RTC::Manager::instance().createComponent("Ports"));
    ASSERT_NE(component, nullptr);
  }
  void TearDown() override {
    if (component) component->exit();
  }
  Ports* component = nullptr;
};

TEST(CommandPortTest, aFullWaitingInPortRefusesTheWriterInsteadOfDroppingASample) {
  rtm_test::registerTestFactory<CommandPorts>("CommandPorts", "0");
  auto* component =
      static_cast<CommandPorts*>(RTC::Manager::instance().createComponent("CommandPorts"));
  ASSERT_NE(component, nullptr);
  RTC::PortService_var out = component->out.getPortRef();
  RTC::PortService_var in = component->in.getPortRef();
  RTC::ConnectorProfile profile = profileFor({out, in});
  ASSERT_EQ(out->connect(profile), RTC::RTC_OK);

  std::vector<bool> written;
  for (int i = 0; i < CommandPorts::kBufferLength + 1; ++i) {
    component->outValue.data = ("word " + std::to_string(i)).c_str();
    written.push_back(component->out.write());
  }
  EXPECT_EQ(written, (std::vector<bool>{true, true, false}));
  EXPECT_EQ(component->out.getStatusList(),
            RTC::DataPortStatusList{RTC::DataPortStatus::BUFFER_FULL});
  std::vector<std::string> received;
  while (component->in.read())
    received.push_back(static_cast<const char*>(component->inValue.data));
  EXPECT_EQ(received, (std::vector<std::string>{"word 0", "word 1"}));
  EXPECT_EQ(component->in.droppedCount(), 0u);
  // The refused writer learns of it and the connection stays: the next word arrives.
  component->outValue.data = "word 2";
  EXPECT_TRUE(component->out.write());
  ASSERT_TRUE(component->in.read());
  EXPECT_STREQ(component->inValue.data, "word 2");
  component->exit();
}

TEST(LastWordsTest, onExitThePortsStayConnectedUntilAfterOnFinalize) {
  rtm_test::registerTestFactory<LastWords>("LastWords", "0");
  auto* component = static_cast<LastWords*>(RTC::Manager::instance().createComponent("LastWords"));
  ASSERT_NE(component, nullptr);
  RTC::PortService_var out = component->out.getPortRef();
  RTC::PortService_var in = component->in.getPortRef();
  RTC::ConnectorProfile profile = profileFor({out, in});
  ASSERT_EQ(out->connect(profile), RTC::RTC_OK);
  ASSERT_EQ(component->ownedContext()->activate(), RTC::RTC_OK);
  ASSERT_EQ(RTC::RTObject_var(component->getObjRef())->exit(), RTC::RTC_OK);
  EXPECT_EQ(component->notes(),
            (std::vector<std::string>{"onDeactivated delivered", "onFinalize delivered"}));
  EXPECT_EQ(component->out.connectionCount(), 0u);
  EXPECT_FALSE(component->in.isConnected());
}

TEST_F(PortTest, aFloodIntoAFullInPortIsReportedAtTheFirstLossThenAtMostOnceASecond) {
  RTC::PortService_var out = component->out.getPortRef();
  RTC::PortService_var in = component->in.getPortRef();
  RTC::ConnectorProfile profile = profileFor({out, in});
  ASSERT_EQ(out->connect(profile), RTC::RTC_OK);
  constexpr int kWords = 3000;
  testing::internal::CaptureStderr();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kWords; ++i) {
    component->outValue.data = ("word " + std::to_string(i)).c_str();
    component->out.write();
  }
  const double elapsed_s =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(component->in.droppedCount(), static_cast<size_t>(kWords - 8));
  int lines = 0;
  for (size_t at = err.find("unread samples dropped so far"); at != std::string::npos;
       at = err.find("unread samples dropped so far", at + 1))
    ++lines;
  EXPECT_NE(err.find("Ports0.in: buffer of 8 full; 1 unread samples dropped so far"),
            std::string::npos)
      << err;
  EXPECT_GE(lines, 1);
  EXPECT_LE(lines, 1 + static_cast<int>(elapsed_s)) << err;
}

TEST_F(PortTest, profilesCarryTheDataPortProperties) {
  RTC::PortProfile_var out = RTC::PortService_var(component->out.getPortRef())->get_port_profile();
  EXPECT_STREQ(out->name, "Ports0.out");
  EXPECT_EQ(NVUtil::toString(out->properties, "port.port_type"), "DataOutPort");
  EXPECT_EQ(NVUtil::toString(out->properties, "dataport.data_type"), "IDL:RTC/TimedString:1.0");
  EXPECT_EQ(NVUtil::toString(out->properties, "dataport.interface_type"), "corba_cdr");
  EXPECT_EQ(NVUtil::toString(out->properties, "dataport.dataflow_type"), "push");
  EXPECT_EQ(NVUtil::toString(out->properties, "dataport.subscription_type"), "flush");
  RTC::PortProfile_var in = RTC::PortService_var(component->in.getPortRef())->get_port_profile();
  EXPECT_EQ(NVUtil::toString(in->properties, "port.port_type"), "DataInPort");
  EXPECT_EQ(NVUtil::toString(in->properties, "dataport.subscription_type"), "Any");
  RTC::PortServiceList_var ports = RTC::RTObject_var(component->getObjRef())->get_ports();
  EXPECT_EQ(ports->length(), 5u);
}

TEST_F(PortTest, samplesFlowFromOutToInAndOverflowDropsTheOldest) {
  RTC::PortService_var out = component->out.getPortRef();
  RTC::PortService_var in = component->in.getPortRef();
  // The in-port comes first here: either order must work.
  RTC::ConnectorProfile profile = profileFor({in, out}, {{"dataport.dataflow_type", "push"},
                                                         {"dataport.interface_type", "corba_cdr"},
                                                         {"dataport.subscription_type", "flush"}});
  ASSERT_EQ(in->connect(profile), RTC::RTC_OK);
  EXPECT_FALSE(std::string(profile.connector_id).empty());
  EXPECT_EQ(NVUtil::toString(profile.properties, "dataport.serializer.cdr.endian"), "little,big");
  EXPECT_EQ(NVUtil::toString(profile.properties, "dataport.corba_cdr.inport_ior").substr(0, 4),
            "IOR:");
  EXPECT_EQ(component->out.connectionCount(), 1u);

  EXPECT_TRUE(component->in.isEmpty());
  for (int i = 0; i < 10; ++i) {
    component->outValue.tm.sec = i;
    component->outValue.data = ("sample " + std::to_string(i)).c_str();
    ASSERT_TRUE(component->out.write());
  }
  EXPECT_EQ(component->out.getStatusList(), RTC::DataPortStatusList{RTC::DataPortStatus::PORT_OK});
  EXPECT_TRUE(component->in.isNew());
  std::vector<std::string> received;
  while (component->in.read())
    received.push_back(static_cast<const char*>(component->inValue.data));
  ASSERT_EQ(received.size(), 8u);
  EXPECT_EQ(received.front(), "sample 2");
  EXPECT_EQ(received.back(), "sample 9");
  EXPECT_EQ(component->inValue.tm.sec, 9u);
  EXPECT_FALSE(component->in.read());

  ASSERT_EQ(out->disconnect(profile.connector_id), RTC::RTC_OK);
  RTC::ConnectorProfileList_var left = in->get_connector_profiles();
  EXPECT_EQ(left->length(), 0u);
  EXPECT_EQ(component->out.connectionCount(), 0u);
  EXPECT_TRUE(component->out.write());
  EXPECT_TRUE(component->in.isEmpty());
}

TEST_F(PortTest, preconnectAndPreactivationFromTheConfiguration) {
  RTC::Manager& manager = RTC::Manager::instance();
  manager.getConfig().setProperty(
      "manager.components.preconnect",
      "Ports0.out:Ports0.in(dataflow_type=push&interface_type=corba_cdr)");
  manager.getConfig().setProperty("manager.components.preactivation", "Ports0");
  manager.activateManager();
  manager.getConfig().setProperty("manager.components.preconnect", "");
  manager.getConfig().setProperty("manager.components.preactivation", "");
  EXPECT_EQ(component->out.connectionCount(), 1u);
  EXPECT_EQ(component->ownedContext()->state(), RTC::ACTIVE_STATE);
  component->outValue.data = "preconnected";
  ASSERT_TRUE(component->out.write());
  ASSERT_TRUE(component->in.read());
  EXPECT_STREQ(component->inValue.data, "preconnected");
}

TEST_F(PortTest, portsOfDifferentDataTypesDoNotConnect) {
  RTC::PortService_var out = component->out.getPortRef();
  RTC::PortService_var pose = component->poseIn.getPortRef();
  RTC::ConnectorProfile profile = profileFor({out, pose});
  EXPECT_EQ(out->connect(profile), RTC::BAD_PARAMETER);
  RTC::ConnectorProfileList_var out_connections = out->get_connector_profiles();
  RTC::ConnectorProfileList_var in_connections = pose->get_connector_profiles();
  EXPECT_EQ(out_connections->length(), 0u);
  EXPECT_EQ(in_connections->length(), 0u);
}

TEST_F(PortTest, pullAndOtherInterfacesAreRefused) {
  RTC::PortService_var out = component->out.getPortRef();
  RTC::PortService_var in = component->in.getPortRef();
  RTC::ConnectorProfile pull = profileFor({out, in}, {{"dataport.dataflow_type", "pull"}});
  EXPECT_EQ(out->connect(pull), RTC::BAD_PARAMETER);
  RTC::ConnectorProfile shared =
      profileFor({out, in}, {{"dataport.interface_type", "shared_memory"}});
  EXPECT_EQ(out->connect(shared), RTC::BAD_PARAMETER);
  EXPECT_EQ(component->out.connectionCount(), 0u);
}

TEST_F(PortTest, connectorIdInUseIsRefused) {
  RTC::PortService_var out = component->out.getPortRef();
  RTC::PortService_var in = component->in.getPortRef();
  RTC::ConnectorProfile profile = profileFor({out, in});
  ASSERT_EQ(out->connect(profile), RTC::RTC_OK);
  RTC::ConnectorProfile again = profileFor({out, in});
  again.connector_id = profile.connector_id;
  EXPECT_EQ(out->connect(again), RTC::PRECONDITION_NOT_MET);
  EXPECT_EQ(out->disconnect_all(), RTC::RTC_OK);
}

TEST_F(PortTest, timedStringOnTheWireIsPlainLittleEndianCdr) {
  RecordingReader reader;
  PortableServer::POA_var poa = RTC::Manager::instance().getPOA();
  PortableServer::ObjectId_var id = poa->activate_object(&reader);
  CORBA::Object_var object = poa->id_to_reference(id);
  CORBA::ORB_var orb = RTC::Manager::instance().getORB();
  CORBA::String_var ior = orb->object_to_string(object);

  RTC::PortService_var out = component->out.getPortRef();
  RTC::ConnectorProfile profile = profileFor({out}, {{"dataport.corba_cdr.inport_ior", ior.in()}});
  ASSERT_EQ(out->connect(profile), RTC::RTC_OK);
  component->outValue.tm.sec = 1;
  component->outValue.tm.nsec = 2;
  component->outValue.data = "hi";
  ASSERT_TRUE(component->out.write());
  {
    std::lock_guard<std::mutex> lock(reader.mutex);
    const std::vector<unsigned char> expected = {0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                                                 0x03, 0x00, 0x00, 0x00, 0x68, 0x69, 0x00};
    EXPECT_EQ(reader.received, expected);
  }
  out->disconnect_all();

  RTC::ConnectorProfile big = profileFor({out}, {{"dataport.corba_cdr.inport_ior", ior.in()},
                                                 {"dataport.serializer.cdr.endian", "big,little"}});
  ASSERT_EQ(out->connect(big), RTC::RTC_OK);
  ASSERT_TRUE(component->out.write());
  {
    std::lock_guard<std::mutex> lock(reader.mutex);
    const std::vector<unsigned char> expected = {0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02,
                                                 0x00, 0x00, 0x00, 0x03, 0x68, 0x69, 0x00};
    EXPECT_EQ(reader.received, expected);
  }
  out->disconnect_all();
  poa->deactivate_object(id);
}

TEST_F(PortTest, bigEndianSamplesAreReadBack) {
  RTC::PortService_var out = component->out.getPortRef();
  RTC::PortService_var in = component->in.getPortRef();
  RTC::ConnectorProfile profile =
      profileFor({out, in}, {{"dataport.serializer.cdr.endian", "big"}});
  ASSERT_EQ(out->connect(profile), RTC::RTC_OK);
  component->outValue.tm.sec = 0x01020304;
  component->outValue.data = "order";
  ASSERT_TRUE(component->out.write());
  ASSERT_TRUE(component->in.read());
  EXPECT_EQ(component->inValue.tm.sec, 0x01020304u);
  EXPECT_STREQ(component->inValue.data, "order");
  out->disconnect_all();
}

TEST_F(PortTest, consumerIsNilUntilConnectedAndAgainAfterDisconnect) {
  RateService provider;
  RTC::CorbaConsumer<RTC::ExecutionContext> consumer;
  ASSERT_TRUE(component->servicePort.registerProvider("rate", "RTC::ExecutionContext", provider));
  ASSERT_TRUE(
      component->otherServicePort.registerConsumer("rate", "RTC::ExecutionContext", consumer));
  EXPECT_FALSE(
      component->otherServicePort.registerConsumer("rate", "RTC::ExecutionContext", consumer));
  EXPECT_TRUE(CORBA::is_nil(consumer._ptr()));

  RTC::PortService_var service = component->servicePort.getPortRef();
  RTC::PortService_var client = component->otherServicePort.getPortRef();
  RTC::ConnectorProfile profile = profileFor({client, service});
  ASSERT_EQ(client->connect(profile), RTC::RTC_OK);
  EXPECT_EQ(NVUtil::toString(profile.properties, "port.RTC::ExecutionContext.rate").substr(0, 4),
            "IOR:");
  EXPECT_EQ(NVUtil::toString(profile.properties,
                             "Ports0.port.service.provided.RTC::ExecutionContext.rate")
                .substr(0, 4),
            "IOR:");
  ASSERT_FALSE(CORBA::is_nil(consumer._ptr()));
  EXPECT_DOUBLE_EQ(consumer->get_rate(), 42.0);

  RTC::PortProfile_var port_profile = service->get_port_profile();
  ASSERT_EQ(port_profile->interfaces.length(), 1u);
  EXPECT_EQ(port_profile->interfaces[0].polarity, RTC::PROVIDED);
  EXPECT_EQ(NVUtil::toString(port_profile->properties, "port.port_type"), "CorbaPort");

  ASSERT_EQ(service->disconnect(profile.connector_id), RTC::RTC_OK);
  EXPECT_TRUE(CORBA::is_nil(consumer._ptr()));
  component->exit();
  component = nullptr;
}

TEST_F(PortTest, consumerFollowsTheProviderATooolNames) {
  RateService provider;
  RTC::CorbaConsumer<RTC::ExecutionContext> consumer;
  ASSERT_TRUE(component->servicePort.registerProvider("rate", "RTC::ExecutionContext", provider));
  ASSERT_TRUE(
      component->otherServicePort.registerConsumer("speed", "RTC::ExecutionContext", consumer));
  RTC::PortService_var service = component->servicePort.getPortRef();
  RTC::PortService_var client = component->otherServicePort.getPortRef();
  // Different instance names: only the explicit pairing connects them.
  RTC::ConnectorProfile plain = profileFor({client, service});
  ASSERT_EQ(client->connect(plain), RTC::RTC_OK);
  EXPECT_TRUE(CORBA::is_nil(consumer._ptr()));
  client->disconnect_all();
  RTC::ConnectorProfile paired =
      profileFor({client, service}, {{"Ports0.port.client.required.RTC::ExecutionContext.speed",
                                      "Ports0.port.service.provided.RTC::ExecutionContext.rate"}});
  ASSERT_EQ(client->connect(paired), RTC::RTC_OK);
  ASSERT_FALSE(CORBA::is_nil(consumer._ptr()));
  EXPECT_DOUBLE_EQ(consumer->get_rate(), 42.0);
  component->exit();
  component = nullptr;
}

}  // namespace
