#include "RTObject.h"

#include <rtm/CallDeadline.h>
#include <rtm/ExecutionContext.h>
#include <rtm/ExecutionRate.h>
#include <rtm/InPortBase.h>
#include <rtm/Manager.h>
#include <rtm/ManagerConfigCheck.h>
#include <rtm/NVUtil.h>
#include <rtm/OutPortBase.h>
#include <rtm/PortBase.h>
#include <rtm/SdoConfiguration.h>
#include <rtm/ServantActivation.h>

#include <exception>

namespace RTC {
namespace {
constexpr const char* kRateKey = "exec_cxt.periodic.rate";
// The ports of a component that goes tell their peers within this time, all together.
constexpr std::chrono::milliseconds kPortReleaseBudget{150};

// Profile keys that are the component profile's own fields rather than properties.
const char* const kProfileFields[] = {"instance_name", "type_name", "description",
                                      "version",       "vendor",    "category"};
}  // namespace

RTObject_impl::RTObject_impl(Manager* manager)
    : m_manager(manager), m_log("rtobject"), m_configsets(m_log) {
  m_sdoConfiguration = std::make_unique<SdoConfiguration>(m_configsets);
}

RTObject_impl::~RTObject_impl() {
  std::thread exit_thread;
  {
    std::lock_guard<std::mutex> lock(m_phaseMutex);
    exit_thread = std::move(m_exitThread);
  }
  if (exit_thread.joinable()) exit_thread.join();
  m_ec.reset();
}

const char* RTObject_impl::getInstanceName() const { return m_instanceName.c_str(); }
const char* RTObject_impl::getTypeName() const { return m_typeName.c_str(); }
const char* RTObject_impl::getCategory() const { return m_category.c_str(); }

void RTObject_impl::setInstanceName(const char* instance_name) {
  m_instanceName = instance_name ? instance_name : "";
  m_properties.setProperty("instance_name", m_instanceName);
  m_log = Logger(m_instanceName);
}

void RTObject_impl::setProperties(const coil::Properties& properties) {
  m_properties << properties;
  m_typeName = m_properties.getProperty("type_name");
  m_category = m_properties.getProperty("category");
  setInstanceName(m_properties.getProperty("instance_name").c_str());
}

void RTObject_impl::activateObject() {
  m_objectId = activateServant(this);
  CORBA::Object_var object = referenceOf(m_objectId.in());
  m_objref = ::RTC::RTObject::_narrow(object);
  m_sdoConfiguration->activateObject();
}

void RTObject_impl::deactivateObjects() {
  std::vector<PortBase*> ports;
  {
    std::lock_guard<std::mutex> lock(m_portsMutex);
    ports = m_ports;
  }
  for (PortBase* port : ports) port->deactivateObject();
  if (m_ec) m_ec->deactivateObject();
  m_sdoConfiguration->deactivateObject();
  if (m_objectId.operator->() != nullptr) {
    deactivateServant(m_objectId.in());
    m_objectId = static_cast<PortableServer::ObjectId*>(nullptr);
  }
}

bool RTObject_impl::addPort(PortBase& port) {
  std::lock_guard<std::mutex> lock(m_portsMutex);
  for (PortBase* existing : m_ports)
    if (existing == &port || existing->shortName() == port.shortName()) {
      RTC_LOG(m_log, ERROR, "port %s is already added", port.shortName().c_str());
      return false;
    }
  port.setOwner(m_objref, m_instanceName);
  try {
    port.activateObject();
  } catch (const CORBA::Exception& error) {
    RTC_LOG(m_log, ERROR, "port %s cannot be activated (%s)", port.shortName().c_str(),
            error._name());
    return false;
  }
  m_ports.push_back(&port);
  return true;
}

bool RTObject_impl::addInPort(const char*, InPortBase& port) { return addPort(port); }
bool RTObject_impl::addOutPort(const char*, OutPortBase& port) { return addPort(port); }

bool RTObject_impl::removePort(PortBase& port) {
  {
    std::lock_guard<std::mutex> lock(m_portsMutex);
    bool found = false;
    for (auto it = m_ports.begin(); it != m_ports.end(); ++it)
      if (*it == &port) {
        m_ports.erase(it);
        found = true;
        break;
      }
    if (!found) return false;
  }
  port.disconnect_all();
  port.deactivateObject();
  return true;
}

ReturnCode_t RTObject_impl::runCallback(const char* name,
                                        ReturnCode_t (RTObject_impl::*callback)(UniqueId),
                                        UniqueId id) {
  try {
    return (this->*callback)(id);
  } catch (const std::exception& error) {
    RTC_LOG(m_log, ERROR, "%s raised %s", name, error.what());
  } catch (const CORBA::Exception& error) {
    RTC_LOG(m_log, ERROR, "%s raised %s", name, error._name());
  } catch (...) {
    RTC_LOG(m_log, ERROR, "%s raised an exception", name);
  }
  return RTC_ERROR;
}

ReturnCode_t RTObject_impl::on_initialize() {
  try {
    return onInitialize();
  } catch (...) {
    RTC_LOG(m_log, ERROR, "onInitialize raised an exception");
    return RTC_ERROR;
  }
}

ReturnCode_t RTObject_impl::on_finalize() {
  try {
    return onFinalize();
  } catch (...) {
    RTC_LOG(m_log, ERROR, "onFinalize raised an exception");
    return RTC_ERROR;
  }
}

ReturnCode_t RTObject_impl::on_startup(ExecutionContextHandle_t id) {
  return runCallback("onStartup", &RTObject_impl::onStartup, id);
}
ReturnCode_t RTObject_impl::on_shutdown(ExecutionContextHandle_t id) {
  return runCallback("onShutdown", &RTObject_impl::onShutdown, id);
}
ReturnCode_t RTObject_impl::on_activated(ExecutionContextHandle_t id) {
  return runCallback("onActivated", &RTObject_impl::onActivated, id);
}
ReturnCode_t RTObject_impl::on_deactivated(ExecutionContextHandle_t id) {
  return runCallback("onDeactivated", &RTObject_impl::onDeactivated, id);
}
ReturnCode_t RTObject_impl::on_aborting(ExecutionContextHandle_t id) {
  return runCallback("onAborting", &RTObject_impl::onAborting, id);
}
ReturnCode_t RTObject_impl::on_error(ExecutionContextHandle_t id) {
  return runCallback("onError", &RTObject_impl::onError, id);
}
ReturnCode_t RTObject_impl::on_reset(ExecutionContextHandle_t id) {
  return runCallback("onReset", &RTObject_impl::onReset, id);
}
ReturnCode_t RTObject_impl::on_execute(ExecutionContextHandle_t id) {
  return runCallback("onExecute", &RTObject_impl::onExecute, id);
}
ReturnCode_t RTObject_impl::on_state_update(ExecutionContextHandle_t id) {
  return runCallback("onStateUpdate", &RTObject_impl::onStateUpdate, id);
}
ReturnCode_t RTObject_impl::on_rate_changed(ExecutionContextHandle_t id) {
  return runCallback("onRateChanged", &RTObject_impl::onRateChanged, id);
}

ReturnCode_t RTObject_impl::initialize() {
  {
    std::lock_guard<std::mutex> lock(m_phaseMutex);
    if (m_phase != Phase::CREATED) return PRECONDITION_NOT_MET;
    m_phase = Phase::ALIVE;
  }
  m_configsets.loadSets(m_properties);
  ReturnCode_t result = on_initialize();
  if (result != RTC_OK) {
    std::lock_guard<std::mutex> lock(m_phaseMutex);
    m_phase = Phase::CREATED;
    return result;
  }
  const std::string refusal = m_configsets.findRefusedValue();
  if (!refusal.empty()) {
    RTC_LOG(m_log, ERROR, "%s", refusal.c_str());
    std::lock_guard<std::mutex> lock(m_phaseMutex);
    m_phase = Phase::CREATED;
    return BAD_PARAMETER;
  }
  const std::string rate_text = m_properties.getProperty(kRateKey);
  const std::string rate_problem = rateProblem(rate_text);
  if (!rate_problem.empty()) {
    RTC_LOG(m_log, ERROR, "%s", refusedValueLine(kRateKey, rate_text, rate_problem).c_str());
    std::lock_guard<std::mutex> lock(m_phaseMutex);
    m_phase = Phase::CREATED;
    return BAD_PARAMETER;
  }
  m_configsets.updateAll();

  double rate_hz = 0;
  coil::stringTo(rate_hz, rate_text.c_str());
  m_ec = std::make_unique<PeriodicExecutionContext>(*this, rate_hz, m_log);
  m_ec->activateObject();
  m_ec->start();
  return RTC_OK;
}

void RTObject_impl::applyConfigurationUpdate() { m_configsets.update(); }

ReturnCode_t RTObject_impl::finalizeStep(std::chrono::steady_clock::time_point deadline) {
  if (m_ec && !m_ec->waitForStop(deadline)) {
    const char* callback = m_ec->callbackUnderWay();
    m_stuckCallback = callback ? callback : "a callback";
    RTC_LOG(m_log, ERROR, "%s has not returned %.1f s after the component was asked to end",
            m_stuckCallback.load(),
            std::chrono::duration<double>(PeriodicExecutionContext::kCallbackWait).count());
    return RTC_ERROR;
  }
  return on_finalize();
}

void RTObject_impl::releasePorts() {
  CallDeadline deadline(CallDeadline::Clock::now() + kPortReleaseBudget);
  std::vector<PortBase*> ports;
  {
    std::lock_guard<std::mutex> lock(m_portsMutex);
    ports = m_ports;
  }
  for (PortBase* port : ports) port->disconnect_all();
  deactivateObjects();
  {
    std::lock_guard<std::mutex> lock(m_phaseMutex);
    m_phase = Phase::EXITED;
  }
  m_exited = true;
}

ReturnCode_t RTObject_impl::completeExit() {
  const ReturnCode_t result =
      finalizeStep(std::chrono::steady_clock::now() + PeriodicExecutionContext::kCallbackWait);
  if (m_stuckCallback.load() != nullptr) return result;
  releasePorts();
  m_manager->notifyFinalized(this);
  return result;
}

ReturnCode_t RTObject_impl::finalize() {
  // A component ends through exit(); finalize alone would leave its context running.
  return PRECONDITION_NOT_MET;
}

ReturnCode_t RTObject_impl::exit() {
  const bool on_context_thread = m_ec && m_ec->isOwnThread();
  {
    std::lock_guard<std::mutex> lock(m_phaseMutex);
    if (m_phase != Phase::ALIVE) return PRECONDITION_NOT_MET;
    m_phase = Phase::EXITING;
    if (m_ec) m_ec->requestStop();
    if (on_context_thread) {
      // The context's thread cannot wait for itself to stop, so another thread finishes.
      m_exitThread = std::thread([this] { completeExit(); });
      return RTC_OK;
    }
  }
  return completeExit();
}

void RTObject_impl::beginShutdown() {
  std::lock_guard<std::mutex> lock(m_phaseMutex);
  if (m_phase != Phase::ALIVE) return;
  m_phase = Phase::EXITING;
  m_shutdownEnds = true;
  if (m_ec) m_ec->requestStop();
}

bool RTObject_impl::finalizeForShutdown(std::chrono::steady_clock::time_point deadline) {
  std::thread exit_thread;
  bool ends_here = false;
  {
    std::lock_guard<std::mutex> lock(m_phaseMutex);
    ends_here = m_shutdownEnds;
    if (m_exitThread.joinable() && m_exitThread.get_id() != std::this_thread::get_id())
      exit_thread = std::move(m_exitThread);
  }
  // An exit() under way ends on its own within its own deadlines.
  if (exit_thread.joinable()) exit_thread.join();
  if (ends_here) finalizeStep(deadline);
  return m_stuckCallback.load() == nullptr;
}

void RTObject_impl::releasePortsForShutdown() {
  bool ends_here = false;
  {
    std::lock_guard<std::mutex> lock(m_phaseMutex);
    ends_here = m_phase == Phase::EXITING && (m_shutdownEnds || m_stuckCallback.load());
  }
  if (ends_here) releasePorts();
}

CORBA::Boolean RTObject_impl::is_alive(ExecutionContext_ptr exec_context) {
  if (hasExited() || !m_ec) return false;
  if (CORBA::is_nil(exec_context)) return true;
  ExecutionContextService_var mine = m_ec->getObjRef();
  try {
    return mine->_is_equivalent(exec_context);
  } catch (const CORBA::SystemException&) {
    return false;
  }
}

ExecutionContextHandle_t RTObject_impl::attach_context(ExecutionContext_ptr) {
  // Components run in their own context only.
  return -1;
}

ReturnCode_t RTObject_impl::detach_context(ExecutionContextHandle_t) { return BAD_PARAMETER; }

ExecutionContext_ptr RTObject_impl::get_context(ExecutionContextHandle_t exec_handle) {
  if (exec_handle != PeriodicExecutionContext::kOwnedHandle || !m_ec)
    return ::RTC::ExecutionContext::_nil();
  return m_ec->getObjRef();
}

ExecutionContextList* RTObject_impl::get_owned_contexts() {
  ExecutionContextList_var list = new ExecutionContextList;
  if (m_ec) {
    list->length(1);
    list[0] = m_ec->getObjRef();
  }
  return list._retn();
}

ExecutionContextList* RTObject_impl::get_participating_contexts() {
  return new ExecutionContextList;
}

ExecutionContextHandle_t RTObject_impl::get_context_handle(ExecutionContext_ptr cxt) {
  if (!m_ec || CORBA::is_nil(cxt)) return -1;
  ExecutionContextService_var mine = m_ec->getObjRef();
  try {
    return mine->_is_equivalent(cxt) ? PeriodicExecutionContext::kOwnedHandle : -1;
  } catch (const CORBA::SystemException&) {
    return -1;
  }
}

ComponentProfile* RTObject_impl::get_component_profile() {
  ComponentProfile_var profile = new ComponentProfile;
  profile->instance_name = m_instanceName.c_str();
  profile->type_name = m_typeName.c_str();
  profile->description = m_properties.getProperty("description").c_str();
  profile->version = m_properties.getProperty("version").c_str();
  profile->vendor = m_properties.getProperty("vendor").c_str();
  profile->category = m_category.c_str();
  profile->parent = ::RTC::RTObject::_nil();
  std::vector<PortBase*> ports;
  {
    std::lock_guard<std::mutex> lock(m_portsMutex);
    ports = m_ports;
  }
  profile->port_profiles.length(static_cast<CORBA::ULong>(ports.size()));
  for (CORBA::ULong i = 0; i < ports.size(); ++i) {
    PortProfile_var port_profile = ports[i]->get_port_profile();
    profile->port_profiles[i] = port_profile.in();
  }
  for (const std::string& key : m_properties.propertyNames()) {
    bool is_field = false;
    for (const char* field : kProfileFields) is_field = is_field || key == field;
    if (!is_field) NVUtil::setString(profile->properties, key, m_properties.getProperty(key));
  }
  return profile._retn();
}

PortServiceList* RTObject_impl::get_ports() {
  std::lock_guard<std::mutex> lock(m_portsMutex);
  PortServiceList_var list = new PortServiceList;
  list->length(static_cast<CORBA::ULong>(m_ports.size()));
  for (CORBA::ULong i = 0; i < m_ports.size(); ++i) list[i] = m_ports[i]->getPortRef();
  return list._retn();
}

SDOPackage::OrganizationList* RTObject_impl::get_owned_organizations() {
  return new SDOPackage::OrganizationList;
}

char* RTObject_impl::get_sdo_id() { return CORBA::string_dup(m_instanceName.c_str()); }
char* RTObject_impl::get_sdo_type() { return CORBA::string_dup(m_typeName.c_str()); }

SDOPackage::DeviceProfile* RTObject_impl::get_device_profile() {
  SDOPackage::DeviceProfile_var profile = new SDOPackage::DeviceProfile;
  profile->device_type = m_typeName.c_str();
  profile->manufacturer = m_properties.getProperty("vendor").c_str();
  profile->model = m_properties.getProperty("implementation_id").c_str();
  profile->version = m_properties.getProperty("version").c_str();
  return profile._retn();
}

SDOPackage::ServiceProfileList* RTObject_impl::get_service_profiles() {
  return new SDOPackage::ServiceProfileList;
}

SDOPackage::ServiceProfile* RTObject_impl::get_service_profile(const char*) {
  throw SDOPackage::InvalidParameter("no such service profile");
}

SDOPackage::SDOService_ptr RTObject_impl::get_sdo_service(const char*) {
  throw SDOPackage::InvalidParameter("no such service");
}

SDOPackage::Configuration_ptr RTObject_impl::get_configuration() {
  return m_sdoConfiguration->getObjRef();
}

SDOPackage::Monitoring_ptr RTObject_impl::get_monitoring() {
  throw SDOPackage::InterfaceNotImplemented("monitoring is not offered");
}

SDOPackage::OrganizationList* RTObject_impl::get_organizations() {
  return new SDOPackage::OrganizationList;
}

SDOPackage::NVList* RTObject_impl::get_status_list() { return new SDOPackage::NVList; }

CORBA::Any* RTObject_impl::get_status(const char*) {
  throw SDOPackage::InvalidParameter("no such status");
}

}  // namespace RTC
