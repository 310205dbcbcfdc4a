#include "manager_environment.h"
#include "test_components.h"

#include <rtm/ExecutionContext.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {
using rtm_test::RecordingComponent;

::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new rtm_test::ManagerEnvironment);

class Lifecycle : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    rtm_test::registerTestFactory<RecordingComponent>("Recorder", "0");
    rtm_test::registerTestFactory<RecordingComponent>("Single", "1");
  }

  RecordingComponent* create(const char* type = "Recorder") {
    return static_cast<RecordingComponent*>(RTC::Manager::instance().createComponent(type));
  }

  static RTC::ExecutionContext_ptr contextOf(RTC::RTObject_impl* component) {
    RTC::RTObject_var reference = component->getObjRef();
    RTC::ExecutionContextList_var contexts = reference->get_owned_contexts();
    EXPECT_EQ(contexts->length(), 1u);
    return RTC::ExecutionContext::_duplicate(contexts[0]);
  }

  static RTC::LifeCycleState stateOf(RTC::RTObject_impl* component) {
    RTC::RTObject_var reference = component->getObjRef();
    RTC::ExecutionContext_var context = contextOf(component);
    return context->get_component_state(reference);
  }
};

TEST_F(Lifecycle, callbacksRunInOrderAndOnTheContextThread) {
  RecordingComponent* component = create();
  ASSERT_NE(component, nullptr);
  RTC::RTObject_var reference = component->getObjRef();
  RTC::ExecutionContext_var context = contextOf(component);
  ASSERT_TRUE(component->waitFor("onStartup"));
  EXPECT_EQ(context->get_component_state(reference), RTC::INACTIVE_STATE);

  ASSERT_EQ(context->activate_component(reference), RTC::RTC_OK);
  EXPECT_EQ(context->get_component_state(reference), RTC::ACTIVE_STATE);
  ASSERT_TRUE(component->waitFor("onExecute", 3));
  ASSERT_EQ(context->deactivate_component(reference), RTC::RTC_OK);
  EXPECT_EQ(context->get_component_state(reference), RTC::INACTIVE_STATE);
  const int executions = component->count("onExecute");
  ASSERT_EQ(reference->exit(), RTC::RTC_OK);
  EXPECT_TRUE(component->hasExited());

  std::vector<rtm_test::CallRecord> calls = component->calls();
  std::vector<std::string> names = component->callNames();
  // Every onExecute is followed by its onStateUpdate; none run outside the active phase.
  std::vector<std::string> expected = {"onInitialize", "onStartup", "onActivated"};
  for (int i = 0; i < executions; ++i) {
    expected.push_back("onExecute");
    expected.push_back("onStateUpdate");
  }
  for (const char* name : {"onDeactivated", "onShutdown", "onFinalize"}) expected.push_back(name);
  EXPECT_EQ(names, expected);

  const std::thread::id context_thread = calls[1].thread;
  EXPECT_NE(context_thread, std::this_thread::get_id());
  for (size_t i = 1; i + 1 < calls.size(); ++i)
    EXPECT_EQ(calls[i].thread, context_thread) << calls[i].name;
}

TEST_F(Lifecycle, exitOfAnActiveComponentDeactivatesItFirst) {
  RecordingComponent* component = create();
  ASSERT_NE(component, nullptr);
  RTC::RTObject_var reference = component->getObjRef();
  RTC::ExecutionContext_var context = contextOf(component);
  ASSERT_EQ(context->activate_component(reference), RTC::RTC_OK);
  ASSERT_EQ(reference->exit(), RTC::RTC_OK);
  std::vector<std::string> names = component->callNames();
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ(names[names.size() - 3], "onDeactivated");
  EXPECT_EQ(names[names.size() - 2], "onShutdown");
  EXPECT_EQ(names.back(), "onFinalize");
  EXPECT_EQ(component->exit(), RTC::PRECONDITION_NOT_MET);
  // The finished component is no longer reachable over CORBA.
  EXPECT_THROW(reference->get_component_profile(), CORBA::OBJECT_NOT_EXIST);
}

TEST_F(Lifecycle, failingExecuteEntersErrorAndResetLeavesIt) {
  RecordingComponent* component = create();
  ASSERT_NE(component, nullptr);
  component->failing = "";
  RTC::RTObject_var reference = component->getObjRef();
  RTC::ExecutionContext_var context = contextOf(component);
  ASSERT_TRUE(component->waitFor("onStartup"));
  component->failing = "onExecute";
  ASSERT_EQ(context->activate_component(reference), RTC::RTC_OK);
  ASSERT_TRUE(component->waitFor("onError", 2));
  EXPECT_EQ(context->get_component_state(reference), RTC::ERROR_STATE);
  EXPECT_EQ(component->count("onAborting"), 1);
  EXPECT_EQ(component->count("onExecute"), 1);
  EXPECT_EQ(context->activate_component(reference), RTC::PRECONDITION_NOT_MET);

  component->failing = "";
  ASSERT_EQ(context->reset_component(reference), RTC::RTC_OK);
  EXPECT_EQ(context->get_component_state(reference), RTC::INACTIVE_STATE);
  EXPECT_EQ(component->count("onReset"), 1);
  reference->exit();
}

TEST_F(Lifecycle, failingActivationEntersError) {
  RecordingComponent* component = create();
  ASSERT_NE(component, nullptr);
  component->failing = "onActivated";
  RTC::RTObject_var reference = component->getObjRef();
  RTC::ExecutionContext_var context = contextOf(component);
  EXPECT_EQ(context->activate_component(reference), RTC::RTC_ERROR);
  EXPECT_EQ(context->get_component_state(reference), RTC::ERROR_STATE);
  EXPECT_EQ(component->count("onExecute"), 0);
  component->failing = "onReset";
  EXPECT_EQ(context->reset_component(reference), RTC::RTC_ERROR);
  EXPECT_EQ(context->get_component_state(reference), RTC::ERROR_STATE);
  reference->exit();
}

TEST_F(Lifecycle, exitFromTheContextThreadFinishesTheComponent) {
  struct SelfExiting : RecordingComponent {
    using RecordingComponent::RecordingComponent;
    RTC::ReturnCode_t onExecute(RTC::UniqueId) override {
      exit();
      return record("onExecute");
    }
  };
  rtm_test::registerTestFactory<SelfExiting>("SelfExiting", "0");
  auto* component =
      static_cast<RecordingComponent*>(RTC::Manager::instance().createComponent("SelfExiting"));
  ASSERT_NE(component, nullptr);
  ASSERT_EQ(component->ownedContext()->activate(), RTC::RTC_OK);
  ASSERT_TRUE(component->waitFor("onFinalize"));
  EXPECT_EQ(component->count("onExecute"), 1);
  EXPECT_EQ(component->count("onDeactivated"), 1);
}

TEST_F(Lifecycle, instancesAreNumberedWithTheLowestFreeIndex) {
  RecordingComponent* first = create();
  RecordingComponent* second = create();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_STREQ(first->getInstanceName(), "Recorder0");
  EXPECT_STREQ(second->getInstanceName(), "Recorder1");
  first->exit();
  RecordingComponent* third = create();
  ASSERT_NE(third, nullptr);
  EXPECT_STREQ(third->getInstanceName(), "Recorder0");
  RTC::ComponentProfile_var profile =
      RTC::RTObject_var(third->getObjRef())->get_component_profile();
  EXPECT_STREQ(profile->instance_name, "Recorder0");
  EXPECT_STREQ(profile->type_name, "Recorder");
  second->exit();
  third->exit();
}

TEST_F(Lifecycle, maxInstanceRefusesOneMore) {
  RecordingComponent* only = create("Single");
  ASSERT_NE(only, nullptr);
  EXPECT_EQ(create("Single"), nullptr);
  only->exit();
  RecordingComponent* again = create("Single");
  EXPECT_NE(again, nullptr);
  if (again) again->exit();
}

TEST_F(Lifecycle, failingInitializeCreatesNothing) {
  struct FailingInit : RecordingComponent {
    using RecordingComponent::RecordingComponent;
    RTC::ReturnCode_t onInitialize() override { return RTC::RTC_ERROR; }
  };
  rtm_test::registerTestFactory<FailingInit>("FailingInit", "0");
  EXPECT_EQ(RTC::Manager::instance().createComponent("FailingInit"), nullptr);
  EXPECT_EQ(RTC::Manager::instance().getComponent("FailingInit0"), nullptr);
  EXPECT_EQ(RTC::Manager::instance().createComponent("NoSuchType"), nullptr);
}

TEST_F(Lifecycle, servantAnswersForEveryBaseInterface) {
  RecordingComponent* component = create();
  ASSERT_NE(component, nullptr);
  RTC::RTObject_var reference = component->getObjRef();
  for (const char* id :
       {"IDL:omg.org/RTC/RTObject:1.0", "IDL:omg.org/RTC/LightweightRTObject:1.0",
        "IDL:omg.org/RTC/ComponentAction:1.0", "IDL:omg.org/RTC/DataFlowComponent:1.0",
        "IDL:omg.org/RTC/DataFlowComponentAction:1.0", "IDL:org.omg/SDOPackage/SDO:1.0",
        "IDL:org.omg/SDOPackage/SDOSystemElement:1.0",
        "IDL:openrtm.aist.go.jp/OpenRTM/DataFlowComponent:1.0"})
    EXPECT_TRUE(reference->_is_a(id)) << id;
  RTC::ExecutionContext_var context = contextOf(component);
  EXPECT_TRUE(context->_is_a("IDL:omg.org/RTC/ExecutionContextService:1.0"));
  EXPECT_TRUE(context->_is_a("IDL:org.omg/SDOPackage/SDOService:1.0"));
  EXPECT_EQ(reference->get_context_handle(context), 0);
  EXPECT_TRUE(reference->is_alive(context));
  component->exit();
}

TEST_F(Lifecycle, aComponentBelongsToNoOrganisationAndTakesNone) {
  RecordingComponent* component = create();
  ASSERT_NE(component, nullptr);
  RTC::RTObject_var reference = component->getObjRef();
  SDOPackage::OrganizationList_var owned = reference->get_owned_organizations();
  SDOPackage::OrganizationList_var joined = reference->get_organizations();
  EXPECT_EQ(owned->length(), 0u);
  EXPECT_EQ(joined->length(), 0u);
  SDOPackage::Configuration_var configuration = reference->get_configuration();
  EXPECT_FALSE(configuration->add_organization(SDOPackage::Organization::_nil()));
  EXPECT_FALSE(configuration->remove_organization("organization0"));
  component->exit();
}

TEST_F(Lifecycle, aRateOutsideTheUsableRangeIsRefusedBySetRate) {
  RecordingComponent* component = create();
  ASSERT_NE(component, nullptr);
  RTC::ExecutionContext_var context = contextOf(component);
  for (double rate : {0.0, -1.0, 2e6, std::numeric_limits<double>::infinity()})
    EXPECT_EQ(context->set_rate(rate), RTC::BAD_PARAMETER) << rate;
  EXPECT_EQ(context->set_rate(250.0), RTC::RTC_OK);
  EXPECT_DOUBLE_EQ(context->get_rate(), 250.0);
  component->exit();
}

}  // namespace
