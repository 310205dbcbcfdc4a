#include "manager_environment.h"
#include "test_components.h"

#include <rtm/NVUtil.h>

#include <gtest/gtest.h>

#include <atomic>

namespace {
using rtm_test::RecordingComponent;

::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new rtm_test::ManagerEnvironment);

// Binds three parameters and notes the value of `speed` (and the thread that wrote it)
// as each callback sees it.
class Configured : public RecordingComponent {
 public:
  explicit Configured(RTC::Manager* manager) : RecordingComponent(manager) {}

  double speed = -1.0;
  int count = -1;
  std::string file;
  double reach_m = -1.0;
  std::atomic<double> speedSeenByExecute{-1.0};
  std::thread::id contextThread;

  RTC::ReturnCode_t onInitialize() override {
    bindParameter("speed", speed, "1.5", &Configured::convertSpeed);
    bindParameter("count", count, "3");
    bindParameter("file", file, "pose-db.csv");
    bindParameter("reach_m", reach_m, "0.5", RTC::check::between(0.0, 2.0));
    return record("onInitialize");
  }
  RTC::ReturnCode_t onStartup(RTC::UniqueId) override {
    contextThread = std::this_thread::get_id();
    return record("onStartup");
  }
  RTC::ReturnCode_t onExecute(RTC::UniqueId) override {
    speedSeenByExecute = speed;
    return record("onExecute");
  }

 private:
  static bool convertSpeed(double& value, const char* text) { return coil::stringTo(value, text); }
};

class Configuration : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    rtm_test::registerTestFactory<Configured>(
        "Configured", "0",
        {"conf.default.speed", "2.5", "conf.__widget__.speed", "text", "conf.fast.speed", "9.0"});
    rtm_test::registerTestFactory<Configured>("Unconvertible", "0",
                                              {"conf.default.count", "not-a-number"});
    rtm_test::registerTestFactory<Configured>("OutOfRange", "0", {"conf.other.reach_m", "-0.02"});
  }

  Configured* create(const char* type = "Configured") {
    return static_cast<Configured*>(RTC::Manager::instance().createComponent(type));
  }
};

TEST_F(Configuration, defaultSetIsAppliedAfterInitialize) {
  Configured* component = create();
  ASSERT_NE(component, nullptr);
  EXPECT_DOUBLE_EQ(component->speed, 2.5);
  EXPECT_EQ(component->count, 3);             // not in the profile: its bound default
  EXPECT_EQ(component->file, "pose-db.csv");  // not in the profile: its bound default
  EXPECT_DOUBLE_EQ(component->reach_m, 0.5);
  component->exit();
}

TEST_F(Configuration, aProfileValueThatIsRefusedFailsTheStartWithOneLineNamingIt) {
  for (const char* type : {"Unconvertible", "OutOfRange"}) {
    testing::internal::CaptureStdout();
    RTC::Logger::configure(true, RTC::LogLevel::ERROR, "STDOUT");
    Configured* component = create(type);
    RTC::Logger::configure(false, RTC::LogLevel::INFO, "");
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(component, nullptr) << type;
    const bool unconvertible = std::string(type) == "Unconvertible";
    EXPECT_NE(output.find(unconvertible
                              ? "set \"default\": count \"not-a-number\" refused: does not convert"
                              : "set \"other\": reach_m \"-0.02\" refused: must be from 0 to 2"),
              std::string::npos)
        << output;
  }
}

TEST_F(Configuration, bindingIsTracedAtTheTraceLevelOnly) {
  for (RTC::LogLevel level : {RTC::LogLevel::TRACE, RTC::LogLevel::DEBUG}) {
    testing::internal::CaptureStdout();
    RTC::Logger::configure(true, level, "STDOUT");
    Configured* component = create();
    RTC::Logger::configure(false, RTC::LogLevel::INFO, "");
    const std::string output = testing::internal::GetCapturedStdout();
    ASSERT_NE(component, nullptr);
    const bool traced = output.find("bindParameter(speed (default: 1.5))") != std::string::npos;
    EXPECT_EQ(traced, level == RTC::LogLevel::TRACE) << output;
    if (level == RTC::LogLevel::TRACE) {
      EXPECT_NE(output.find("bindParameter(file (default: pose-db.csv))"), std::string::npos);
    }
    component->exit();
  }
}

TEST_F(Configuration, managerConfigOverridesTheProfileByTypeAndInstance) {
  coil::Properties& config = RTC::Manager::instance().getConfig();
  config.setProperty("Test.Configured.conf.default.file", "type.csv");
  config.setProperty("Test.Configured0.conf.default.count", "8");
  Configured* component = create();
  config.removeProperty("Test.Configured.conf.default.file");
  config.removeProperty("Test.Configured0.conf.default.count");
  ASSERT_NE(component, nullptr);
  EXPECT_EQ(component->file, "type.csv");
  EXPECT_EQ(component->count, 8);
  component->exit();
}

TEST_F(Configuration, setsAreReadAndChangedThroughTheSdoInterface) {
  Configured* component = create();
  ASSERT_NE(component, nullptr);
  RTC::RTObject_var reference = component->getObjRef();
  SDOPackage::Configuration_var configuration = reference->get_configuration();
  SDOPackage::ConfigurationSetList_var sets = configuration->get_configuration_sets();
  ASSERT_EQ(sets->length(), 2u);
  SDOPackage::ConfigurationSet_var active = configuration->get_active_configuration_set();
  EXPECT_STREQ(active->id, "default");
  EXPECT_EQ(NVUtil::toString(active->configuration_data, "speed"), "2.5");

  ASSERT_EQ(component->ownedContext()->activate(), RTC::RTC_OK);
  ASSERT_TRUE(configuration->activate_configuration_set("fast"));
  // The change reaches the member on the context's thread before a later onExecute.
  const int executions = component->RecordingComponent::count("onExecute");
  ASSERT_TRUE(component->waitFor("onExecute", executions + 2));
  EXPECT_DOUBLE_EQ(component->speedSeenByExecute.load(), 9.0);

  SDOPackage::ConfigurationSet update;
  update.id = "fast";
  update.description = "";
  NVUtil::setString(update.configuration_data, "speed", "4.25");
  ASSERT_TRUE(configuration->set_configuration_set_values(update));
  const int later = component->RecordingComponent::count("onExecute");
  ASSERT_TRUE(component->waitFor("onExecute", later + 2));
  EXPECT_DOUBLE_EQ(component->speedSeenByExecute.load(), 4.25);

  EXPECT_THROW(configuration->activate_configuration_set("missing"), SDOPackage::InvalidParameter);
  EXPECT_THROW(configuration->get_configuration_set("missing"), SDOPackage::NotAvailable);
  component->exit();
}

TEST_F(Configuration, aRefusedValueIsReportedToTheCallerAndChangesNothing) {
  Configured* component = create();
  ASSERT_NE(component, nullptr);
  RTC::RTObject_var reference = component->getObjRef();
  SDOPackage::Configuration_var configuration = reference->get_configuration();
  struct Case {
    const char* parameter;
    const char* value;
    const char* reason;
  };
  for (const Case& refused : {Case{"speed", "fast!", "speed \"fast!\" refused: does not convert"},
                              Case{"reach_m", "-0.02", "must be from 0 to 2"},
                              Case{"reach_m", "nan", "reach_m \"nan\" refused"},
                              Case{"reach_m", "2.5", "must be from 0 to 2"}}) {
    SDOPackage::ConfigurationSet update;
    update.id = "default";
    update.description = "";
    NVUtil::setString(update.configuration_data, "count", "7");
    NVUtil::setString(update.configuration_data, refused.parameter, refused.value);
    try {
      configuration->set_configuration_set_values(update);
      ADD_FAILURE() << refused.value << " was taken";
    } catch (const SDOPackage::InvalidParameter& error) {
      EXPECT_NE(std::string(error.description.in()).find(refused.reason), std::string::npos)
          << error.description.in();
    }
    // The whole update is refused: the set keeps the values in force.
    SDOPackage::ConfigurationSet_var active = configuration->get_active_configuration_set();
    EXPECT_FALSE(NVUtil::isString(active->configuration_data, "count")) << refused.value;
    EXPECT_EQ(NVUtil::toString(active->configuration_data, "speed"), "2.5");
  }
  EXPECT_DOUBLE_EQ(component->reach_m, 0.5);
  EXPECT_EQ(component->count, 3);
  component->exit();
}

}  // namespace
