#include "Palkett.h"

#include <iostream>
#include <string>
#include <vector>

#include <shell/component_shell.h>

namespace {

// The component profile: the fixed keys, then every parameter's default and widget.
const char* const* palkettProfile() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> entries = {
        "implementation_id", "Palkett",      "type_name",
        "Palkett",           "description",  "${rtcParam.description}",
        "version",           "1.0.0",        "vendor",
        "Kesta.Orvn",        "category",     "StateMachineGateway",
        "activity_type",     "PERIODIC",     "kind",
        "DataFlowComponent", "max_instance", "0",
        "language",          "C++",          "lang_type",
        "compile",
    };
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
      m_inputIn("input", m_input),
      m_outputOut("output", m_output),
      m_LumerisServicePort("LumerisService"),
      m_BriskoServicePort("BriskoService"),
      m_HiroNXPort("HiroNX"),
      m_HIROPort("HIRO"),
      m_config(pickplace::defaultCellConfig()),
      m_console(std::cout, std::cerr),
      m_links(pickplace::CellReferences{[this] { return m_BriskoSvcIF._ptr(); },
                                        [this] { return m_motion._ptr(); },
                                        [this] { return m_manipulator._ptr(); },
                                        [this] { return m_LumerisSvcIF._ptr(); }},
              m_console),
      m_coordinator(m_links, m_console) {
  m_console.print(">> Palkett::Palkett()\n");
  m_console.print("<< Palkett::Palkett()\n");
}

Palkett::~Palkett() {
  m_console.print(">> Palkett::~Palkett()\n");
  m_coordinator.deactivate();
  m_console.print("<< Palkett::~Palkett()\n");
}

RTC::ReturnCode_t Palkett::onInitialize() {
  m_console.error(">> Palkett::onInitialize()");
  addInPort("input", m_inputIn);
  addOutPort("output", m_outputOut);

  m_BriskoServicePort.registerConsumer("BriskoSvcIF", "BriskoRTC::BriskoService", m_BriskoSvcIF);
  m_LumerisServicePort.registerConsumer("LumerisSvcIF", "LumerisRTC::LumerisService",
                                        m_LumerisSvcIF);
  m_HiroNXPort.registerConsumer("manipulator", "HiroNX", m_manipulator);
  m_HIROPort.registerConsumer("common", "CommonCommands", m_common);
  m_HIROPort.registerConsumer("motion", "MotionCommands", m_motion);

  addPort(m_LumerisServicePort);
  addPort(m_BriskoServicePort);
  addPort(m_HiroNXPort);
  addPort(m_HIROPort);

  for (const auto& parameter : pickplace::kCellParameters) {
    if (parameter.real) {
      bindParameter(parameter.name, m_config.*parameter.real, parameter.defaultText);
    } else {
      bindParameter(parameter.name, m_config.*parameter.integer, parameter.defaultText);
    }
  }

  m_coordinator.initialize(m_config);
  m_console.error("<< Palkett::onInitialize()");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Palkett::onFinalize() {
  m_console.error(">> Palkett::onFinalize()");
  m_console.error("<< Palkett::onFinalize()");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Palkett::onActivated(RTC::UniqueId) {
  m_console.error(">> Palkett::onActivated()");
  m_coordinator.activate();
  m_console.error("<< Palkett::onActivated()");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Palkett::onDeactivated(RTC::UniqueId) {
  m_console.error(">> Palkett::onDeactivated()");
  m_console.error("<< Palkett::onDeactivated()");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Palkett::onExecute(RTC::UniqueId) {
  std::vector<std::string> sample;
  bool received = false;
  if (m_inputIn.isNew() && m_inputIn.read()) {
    received = true;
    for (CORBA::ULong i = 0; i < m_input.data.length(); ++i) {
      sample.emplace_back(static_cast<const char*>(m_input.data[i]));
    }
  }
  if (const auto result = m_coordinator.cycle(received ? &sample : nullptr, m_config)) {
    writeResult(*result);
  }
  return RTC::RTC_OK;
}

void Palkett::writeResult(const std::string& result) {
  m_output.tm.sec = 0;
  m_output.tm.nsec = 0;
  m_output.data.length(1);
  m_output.data[0] = CORBA::string_dup(result.c_str());
  if (m_outputOut.write()) {
    return;
  }
  const RTC::DataPortStatusList statuses = m_outputOut.getStatusList();
  for (std::size_t i = 0; i < statuses.size(); ++i) {
    if (statuses[i] != RTC::DataPortStatus::PORT_OK) {
      m_console.error("Port[" + std::to_string(i) + "]: write(): failed.");
    }
  }
}

extern "C" void PalkettInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, palkettProfile(), shell::createComponent<Palkett>,
                                  shell::destroyComponent);
}
