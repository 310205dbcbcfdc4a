// Components for in-process tests: they record which callbacks ran, in order and on which
// thread, and can be told to fail one of them.
#pragma once

#include <rtm/DataFlowComponentBase.h>
#include <rtm/Manager.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace rtm_test {

struct CallRecord {
  std::string name;
  std::thread::id thread;
};

class RecordingComponent : public RTC::DataFlowComponentBase {
 public:
  explicit RecordingComponent(RTC::Manager* manager) : RTC::DataFlowComponentBase(manager) {}

  // The callback named here returns RTC_ERROR.
  std::string failing;

  std::vector<CallRecord> calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }
  std::vector<std::string> callNames() const {
    std::vector<std::string> names;
    for (const CallRecord& call : calls()) names.push_back(call.name);
    return names;
  }
  int count(const std::string& name) const {
    int n = 0;
    for (const CallRecord& call : calls()) n += call.name == name;
    return n;
  }
  // Waits (at most 5 s) until `name` was called `times` times.
  bool waitFor(const std::string& name, int times = 1) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (count(name) < times) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }

  RTC::ReturnCode_t onInitialize() override { return record("onInitialize"); }
  RTC::ReturnCode_t onFinalize() override { return record("onFinalize"); }
  RTC::ReturnCode_t onStartup(RTC::UniqueId) override { return record("onStartup"); }
  RTC::ReturnCode_t onShutdown(RTC::UniqueId) override { return record("onShutdown"); }
  RTC::ReturnCode_t onActivated(RTC::UniqueId) override { return record("onActivated"); }
  RTC::ReturnCode_t onDeactivated(RTC::UniqueId) override { return record("onDeactivated"); }
  RTC::ReturnCode_t onExecute(RTC::UniqueId) override { return record("onExecute"); }
  RTC::ReturnCode_t onAborting(RTC::UniqueId) override { return record("onAborting"); }
  RTC::ReturnCode_t onError(RTC::UniqueId) override { return record("onError"); }
  RTC::ReturnCode_t onReset(RTC::UniqueId) override { return record("onReset"); }
  RTC::ReturnCode_t onStateUpdate(RTC::UniqueId) override { return record("onStateUpdate"); }

 protected:
  RTC::ReturnCode_t record(const char* name) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back({name, std::this_thread::get_id()});
    return failing == name ? RTC::RTC_ERROR : RTC::RTC_OK;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<CallRecord> calls_;
};

template <class Component>
RTC::RTObject_impl* createTestComponent(RTC::Manager* manager) {
  return new Component(manager);
}

inline void deleteTestComponent(RTC::RTObject_impl* component) { delete component; }

// Registers a factory for Component under `type_name` once per test program.
template <class Component>
void registerTestFactory(const char* type_name, const char* max_instance,
                         std::vector<const char*> extra = {}) {
  // clang-format off
  std::vector<const char*> table = {
      "implementation_id", type_name,
      "type_name",         type_name,
      "description",       "test component",
      "version",           "1.0",
      "vendor",            "test",
      "category",          "Test",
      "activity_type",     "PERIODIC",
      "kind",              "DataFlowComponent",
      "max_instance",      max_instance,
      "language",          "C++",
      "lang_type",         "compile",
  };
  // clang-format on
  table.insert(table.end(), extra.begin(), extra.end());
  table.push_back("");
  coil::Properties profile(table.data(), 2147483647);
  RTC::Manager::instance().registerFactory(profile, createTestComponent<Component>,
                                           deleteTestComponent);
}

}  // namespace rtm_test
