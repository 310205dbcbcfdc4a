#include "manager_environment.h"
#include "test_components.h"

#include <rtm/DataOutPort.h>
#include <rtm/NVUtil.h>
#include <rtm/idl/BasicDataTypeSkel.h>
#include <tests/support/test_support.h>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new rtm_test::ManagerEnvironment);

constexpr std::chrono::seconds kWait{15};

// SIGSTOP takes effect a little after kill() returns; waits until the process shows as
// stopped in /proc (at most kWait).
bool waitUntilStopped(pid_t pid) {
  const auto deadline = std::chrono::steady_clock::now() + kWait;
  while (std::chrono::steady_clock::now() < deadline) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'T')
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

class Writer : public rtm_test::RecordingComponent {
 public:
  explicit Writer(RTC::Manager* manager) : RecordingComponent(manager), out("out", value) {}
  RTC::ReturnCode_t onInitialize() override {
    addOutPort("out", out);
    return RTC::RTC_OK;
  }
  RTC::TimedString value;
  RTC::OutPort<RTC::TimedString> out;
};

class DeadPeer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { rtm_test::registerTestFactory<Writer>("Writer", "0"); }

  void SetUp() override {
    writer = static_cast<Writer*>(RTC::Manager::instance().createComponent("Writer"));
    ASSERT_NE(writer, nullptr);
    reader = std::make_unique<test_support::ChildProcess>(
        test_support::binPath("rtm_test_reader"),
        std::vector<std::string>{"-o", "naming.enable:NO", "-o", "logger.enable:NO", "-o",
                                 "corba.endpoints:127.0.0.1:"});
    ASSERT_TRUE(reader->waitForOutput("READER_PORT", kWait)) << reader->output();
    const std::string output = reader->standardOutput();
    const size_t at = output.find("IOR:");
    ASSERT_NE(at, std::string::npos);
    const std::string ior = output.substr(at, output.find('\n', at) - at);
    CORBA::ORB_var orb = RTC::Manager::instance().getORB();
    CORBA::Object_var object = orb->string_to_object(ior.c_str());
    readerPort = RTC::PortService::_narrow(object);
    ASSERT_FALSE(CORBA::is_nil(readerPort));
  }

  void TearDown() override {
    if (writer) writer->exit();
  }

  void connect() {
    RTC::PortService_var out = writer->out.getPortRef();
    RTC::ConnectorProfile profile;
    profile.name = "to reader";
    profile.connector_id = "";
    profile.ports.length(2);
    profile.ports[0] = RTC::PortService::_duplicate(out);
    profile.ports[1] = RTC::PortService::_duplicate(readerPort);
    NVUtil::setString(profile.properties, "dataport.call_timeout_ms", "500");
    ASSERT_EQ(out->connect(profile), RTC::RTC_OK);
    writer->value.data = "before";
    ASSERT_TRUE(writer->out.write());
  }

  Writer* writer = nullptr;
  std::unique_ptr<test_support::ChildProcess> reader;
  RTC::PortService_var readerPort;
};

TEST_F(DeadPeer, writeToAKilledReaderReportsLostAndTheWriterGoesOn) {
  connect();
  ASSERT_TRUE(reader->sendSignal(SIGKILL));
  ASSERT_TRUE(reader->waitForExit(kWait).has_value());
  writer->value.data = "after";
  EXPECT_FALSE(writer->out.write());
  EXPECT_EQ(writer->out.getStatusList(),
            RTC::DataPortStatusList{RTC::DataPortStatus::CONNECTION_LOST});
  EXPECT_EQ(writer->out.connectionCount(), 0u);
  RTC::ConnectorProfileList_var left =
      RTC::PortService_var(writer->out.getPortRef())->get_connector_profiles();
  EXPECT_EQ(left->length(), 0u);
  // The lost connection is gone: later writes have nobody to fail on.
  EXPECT_TRUE(writer->out.write());
  ASSERT_EQ(writer->ownedContext()->activate(), RTC::RTC_OK);
  EXPECT_TRUE(writer->waitFor("onExecute", 2));
}

TEST_F(DeadPeer, writeToAHungReaderReturnsAndReportsFailure) {
  connect();
  ASSERT_TRUE(reader->sendSignal(SIGSTOP));
  ASSERT_TRUE(waitUntilStopped(reader->pid()));
  writer->value.data = "into the void";
  EXPECT_FALSE(writer->out.write());
  EXPECT_EQ(writer->out.getStatusList(),
            RTC::DataPortStatusList{RTC::DataPortStatus::CONNECTION_LOST});
  EXPECT_EQ(writer->out.connectionCount(), 0u);
  reader->sendSignal(SIGKILL);
  reader->sendSignal(SIGCONT);
}

TEST_F(DeadPeer, exitWithAKilledPeerStillFinishes) {
  connect();
  ASSERT_TRUE(reader->sendSignal(SIGKILL));
  ASSERT_TRUE(reader->waitForExit(kWait).has_value());
  // Disconnecting tells the peer, which is gone: exit must still complete.
  EXPECT_EQ(writer->exit(), RTC::RTC_OK);
  EXPECT_EQ(writer->count("onFinalize"), 1);
  writer = nullptr;
}

}  // namespace
