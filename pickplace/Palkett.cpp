#include "Palkett.h"

#include <iostream>
#include <string>
#include <vector>

#include <shell/component_shell.h>

namespace {

// Unread command words that "input" keeps. When they are all unread, a writer waits for room
// instead of a word being dropped, and is refused after kInputWriteTimeout_ms (well within the
// time-out of its own call, so it learns of the refusal rather than losing the connection).
constexpr int kInputBufferLength = 8;
constexpr int kInputWriteTimeout_ms = 1000;

// The component profile: the fixed keys, then every parameter's default and widget.
const char* const* palkettProfile() {
  static const std::vector<std::string> texts = [] {
    // clang-format off
    std::vector<std::string> entries = {
        "implementation_id", "Palkett",
        "type_name",         "Palkett",
        "description",       "${rtcParam.description}",
        "version",           "1.0.0",
        "vendor",            "Kesta.Orvn",
        "category",          "StateMachineGateway",
        "activity_type",     "PERIODIC",
        "kind",              "DataFlowComponent",
        "max_instance",      "0",
        "language",          "C++",
        "lang_type",         "compile",
    };
    // clang-format on
    for (const auto& parameter : pickplace::kCellParameters) {
      entries.push_back(std::string("conf.default.") + parameter.name);
      entries.push_back(parameter.defaultText);
    }
    for (const auto& parameter : pickplace::kCellParameters) {
      entries.push_back(std::string("conf.__widget__.") + parameter.name);
      entries.push_back("text");
    }
    entries.push_back("");
    return entries;
  }();
  static const std::vector<const char*> table = [] {
    std::vector<const char*> pointers;
    for (const auto& text : texts) {
      pointers.push_back(text.c_str());
    }
    return pointers;
  }();
  return table.data();
}

}  // namespace

Palkett::Palkett(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager),
      inputIn_("input", input_, kInputBufferLength, false, true, 0, kInputWriteTimeout_ms),
      outputOut_("output", output_),
      lumerisServicePort_("LumerisService"),
      briskoServicePort_("BriskoService"),
      hiroNXPort_("HiroNX"),
      hiroPort_("HIRO"),
      config_(pickplace::defaultCellConfig()),
      console_(std::cout, std::cerr),
      links_(pickplace::CellReferences{
                 [this] { return briskoSvcIF_._ptr(); }, [this] { return motion_._ptr(); },
                 [this] { return manipulator_._ptr(); }, [this] { return lumerisSvcIF_._ptr(); }},
             console_),
      coordinator_(links_, console_) {
  console_.print(">> Palkett::Palkett()\n");
  console_.print("<< Palkett::Palkett()\n");
}

Palkett::~Palkett() {
  console_.print(">> Palkett::~Palkett()\n");
  coordinator_.deactivate();
  console_.print("<< Palkett::~Palkett()\n");
}

RTC::ReturnCode_t Palkett::onInitialize() {
  console_.error(">> Palkett::onInitialize()");
  addInPort("input", inputIn_);
  addOutPort("output", outputOut_);

  briskoServicePort_.registerConsumer("BriskoSvcIF", "BriskoRTC::BriskoService", briskoSvcIF_);
  lumerisServicePort_.registerConsumer("LumerisSvcIF", "LumerisRTC::LumerisService", lumerisSvcIF_);
  hiroNXPort_.registerConsumer("manipulator", "HiroNX", manipulator_);
  hiroPort_.registerConsumer("common", "CommonCommands", common_);
  hiroPort_.registerConsumer("motion", "MotionCommands", motion_);

  addPort(lumerisServicePort_);
  addPort(briskoServicePort_);
  addPort(hiroNXPort_);
  addPort(hiroPort_);

  for (const auto& parameter : pickplace::kCellParameters) {
    if (parameter.real) {
      bindParameter(parameter.name, config_.*parameter.real, parameter.defaultText,
                    parameter.realCheck);
    } else {
      bindParameter(parameter.name, config_.*parameter.integer, parameter.defaultText,
                    parameter.integerCheck);
    }
  }

  coordinator_.initialize(config_);
  console_.error("<< Palkett::onInitialize()");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Palkett::onFinalize() {
  console_.error(">> Palkett::onFinalize()");
  endRunningTask();
  console_.error("<< Palkett::onFinalize()");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Palkett::onActivated(RTC::UniqueId) {
  console_.error(">> Palkett::onActivated()");
  coordinator_.activate();
  console_.error("<< Palkett::onActivated()");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Palkett::onDeactivated(RTC::UniqueId) {
  console_.error(">> Palkett::onDeactivated()");
  endRunningTask();
  console_.error("<< Palkett::onDeactivated()");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Palkett::onExecute(RTC::UniqueId) {
  // Every word that has arrived since the last period, and no more, so that a writer that
  // keeps writing cannot hold the cycle.
  std::vector<pickplace::Coordinator::Sample> received;
  for (std::size_t waiting = inputIn_.unreadCount(); waiting > 0; --waiting) {
    if (!inputIn_.read()) {
      continue;
    }
    pickplace::Coordinator::Sample& sample = received.emplace_back();
    for (CORBA::ULong i = 0; i < input_.data.length(); ++i) {
      sample.emplace_back(static_cast<const char*>(input_.data[i]));
    }
  }
  for (const std::string& result : coordinator_.cycle(received, config_)) {
    writeResult(result);
  }
  return RTC::RTC_OK;
}

void Palkett::endRunningTask() {
  if (const auto word = coordinator_.endRunningTask()) {
    writeResult(*word);
  }
}

void Palkett::writeResult(const std::string& result) {
  output_.tm.sec = 0;
  output_.tm.nsec = 0;
  output_.data.length(1);
  output_.data[0] = CORBA::string_dup(result.c_str());
  if (outputOut_.write()) {
    return;
  }
  const RTC::DataPortStatusList statuses = outputOut_.getStatusList();
  for (std::size_t i = 0; i < statuses.size(); ++i) {
    if (statuses[i] != RTC::DataPortStatus::PORT_OK) {
      console_.error("Port[" + std::to_string(i) + "]: write(): failed.");
    }
  }
}

extern "C" void PalkettInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, palkettProfile(), shell::createComponent<Palkett>,
                                  shell::destroyComponent);
}
