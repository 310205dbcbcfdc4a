// The RT-component: a CORBA servant answering for every base interface of a data-flow
// component, with the lifecycle callbacks a component overrides.
//
// Lifecycle: the manager creates the component, activates it as a CORBA object and calls
// initialize() on its own thread: onInitialize() (ports, parameters), then the "default"
// configuration set is applied and the periodic execution context starts (onStartup on
// its thread). From then on every callback but onInitialize/onFinalize runs on the
// execution context's thread: onActivated, onExecute + onStateUpdate each period while
// active, onDeactivated, onAborting + onError when a callback returned an error, onReset.
// Incoming CORBA calls run on ORB threads.
//
// The end, on exit() (a tool, the component itself) and on the process's shutdown
// (SIGINT/SIGTERM, or the manager's shutdown()), always in this order:
//   1. No periodic callback after the one under way; a callback that waits on the outside
//      world sees isDeactivationPending() and gives way.
//   2. An active component is deactivated: onDeactivated, on the context's thread. Then
//      onShutdown there, and the context's thread ends.
//   3. onFinalize.
//   4. Only now do the ports go: every connection is taken apart (peers told while a short
//      deadline allows), consumers are released, servants withdrawn from the ORB.
//   5. The names are unbound; the factory deletes the component once no call can reach it.
// So up to and including onFinalize every port is still connected and every consumer still
// set: a component can write a last word on an out-port and call a peer's service there.
// At the process's shutdown steps 1-3 run for every component before any port of the
// process goes, so components of one process reach each other to the end too. A plain
// deactivation (a tool's request) runs step 2 only and leaves the ports as they are.
#pragma once

#include <rtm/ConfigAdmin.h>
#include <rtm/ExecutionContext.h>
#include <rtm/Logger.h>
#include <rtm/RTC.h>

#include <coil/Properties.h>
#include <coil/stringutil.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace RTC {

class Manager;
class PortBase;
class InPortBase;
class OutPortBase;
class SdoConfiguration;

class RTObject_impl : public virtual POA_OpenRTM::DataFlowComponent {
 public:
  explicit RTObject_impl(Manager* manager);
  virtual ~RTObject_impl();
  RTObject_impl(const RTObject_impl&) = delete;
  RTObject_impl& operator=(const RTObject_impl&) = delete;

  // Callbacks for components to override; each returns RTC_OK unless it failed.
  virtual ReturnCode_t onInitialize() { return RTC_OK; }
  virtual ReturnCode_t onFinalize() { return RTC_OK; }
  virtual ReturnCode_t onStartup(UniqueId) { return RTC_OK; }
  virtual ReturnCode_t onShutdown(UniqueId) { return RTC_OK; }
  virtual ReturnCode_t onActivated(UniqueId) { return RTC_OK; }
  virtual ReturnCode_t onDeactivated(UniqueId) { return RTC_OK; }
  virtual ReturnCode_t onExecute(UniqueId) { return RTC_OK; }
  virtual ReturnCode_t onAborting(UniqueId) { return RTC_OK; }
  virtual ReturnCode_t onError(UniqueId) { return RTC_OK; }
  virtual ReturnCode_t onReset(UniqueId) { return RTC_OK; }
  virtual ReturnCode_t onStateUpdate(UniqueId) { return RTC_OK; }
  virtual ReturnCode_t onRateChanged(UniqueId) { return RTC_OK; }

  // Ports: named "<instance name>.<name>" in profiles. Call from onInitialize.
  bool addInPort(const char* name, InPortBase& port);
  bool addOutPort(const char* name, OutPortBase& port);
  bool addPort(PortBase& port);
  bool removePort(PortBase& port);

  // Binds configuration parameter `name` to `var`, starting from `default_value`
  // converted with `trans`. Returns false when the name is already bound.
  template <class T>
  bool bindParameter(const char* name, T& var, const char* default_value,
                     bool (*trans)(T&, const char*) = coil::stringTo) {
    RTC_LOG(m_log, TRACE, "bindParameter(%s (default: %s))", name, default_value);
    return m_configsets.bindParameter(name, var, default_value, trans);
  }
  // The same, with the range of usable values: a value that `check` refuses is refused
  // where it is set (InvalidParameter to the tool that set it), and at start-up a refused
  // value in the profile or on the command line makes initialize() fail.
  template <class T>
  bool bindParameter(const char* name, T& var, const char* default_value,
                     typename std::common_type<ParameterCheck<T>>::type check) {
    RTC_LOG(m_log, TRACE, "bindParameter(%s (default: %s))", name, default_value);
    return m_configsets.bindParameter(name, var, default_value, &coil::stringTo<T>,
                                      std::move(check));
  }
  ConfigAdmin& getConfigService() { return m_configsets; }

  const char* getInstanceName() const;
  void setInstanceName(const char* instance_name);
  const char* getTypeName() const;
  const char* getCategory() const;
  coil::Properties& getProperties() { return m_properties; }
  // The profile and configuration of the component; call before initialize().
  void setProperties(const coil::Properties& properties);
  RTObject_ptr getObjRef() const { return ::RTC::RTObject::_duplicate(m_objref); }
  Logger& logger() { return m_log; }
  // The component's own execution context (handle 0); null before initialize().
  PeriodicExecutionContext* ownedContext() { return m_ec.get(); }
  // For callbacks that wait: see PeriodicExecutionContext::isDeactivationPending.
  bool isDeactivationPending() const { return m_ec && m_ec->isDeactivationPending(); }

  // ComponentAction: each runs the matching callback, turning an exception into an error.
  ReturnCode_t on_initialize() override;
  ReturnCode_t on_finalize() override;
  ReturnCode_t on_startup(ExecutionContextHandle_t exec_handle) override;
  ReturnCode_t on_shutdown(ExecutionContextHandle_t exec_handle) override;
  ReturnCode_t on_activated(ExecutionContextHandle_t exec_handle) override;
  ReturnCode_t on_deactivated(ExecutionContextHandle_t exec_handle) override;
  ReturnCode_t on_aborting(ExecutionContextHandle_t exec_handle) override;
  ReturnCode_t on_error(ExecutionContextHandle_t exec_handle) override;
  ReturnCode_t on_reset(ExecutionContextHandle_t exec_handle) override;
  ReturnCode_t on_execute(ExecutionContextHandle_t exec_handle) override;
  ReturnCode_t on_state_update(ExecutionContextHandle_t exec_handle) override;
  ReturnCode_t on_rate_changed(ExecutionContextHandle_t exec_handle) override;

  // LightweightRTObject
  ReturnCode_t initialize() override;
  ReturnCode_t finalize() override;
  CORBA::Boolean is_alive(ExecutionContext_ptr exec_context) override;
  // Ends the component in the order of the class comment; the manager then unbinds its
  // names and, when it was the last, shuts down. RTC_ERROR when a callback did not give
  // way in time (the component is then left as it is).
  ReturnCode_t exit() override;
  ExecutionContextHandle_t attach_context(ExecutionContext_ptr exec_context) override;
  ReturnCode_t detach_context(ExecutionContextHandle_t exec_handle) override;
  ExecutionContext_ptr get_context(ExecutionContextHandle_t exec_handle) override;
  ExecutionContextList* get_owned_contexts() override;
  ExecutionContextList* get_participating_contexts() override;
  ExecutionContextHandle_t get_context_handle(ExecutionContext_ptr cxt) override;

  // RTObject
  ComponentProfile* get_component_profile() override;
  PortServiceList* get_ports() override;

  // SDO
  SDOPackage::OrganizationList* get_owned_organizations() override;
  char* get_sdo_id() override;
  char* get_sdo_type() override;
  SDOPackage::DeviceProfile* get_device_profile() override;
  SDOPackage::ServiceProfileList* get_service_profiles() override;
  SDOPackage::ServiceProfile* get_service_profile(const char* id) override;
  SDOPackage::SDOService_ptr get_sdo_service(const char* id) override;
  SDOPackage::Configuration_ptr get_configuration() override;
  SDOPackage::Monitoring_ptr get_monitoring() override;
  SDOPackage::OrganizationList* get_organizations() override;
  SDOPackage::NVList* get_status_list() override;
  CORBA::Any* get_status(const char* name) override;

  // Used by the manager and the execution context.
  // Registers the servant with the ORB; call once, before initialize().
  void activateObject();
  // Applies a changed configuration set to the bound members; on the EC thread.
  void applyConfigurationUpdate();
  // The process's shutdown, steps 1-3 and then step 4 of the class comment, without
  // telling the manager (which is shutting everything down itself). beginShutdown is
  // called for every component first, so that they all deactivate at once.
  void beginShutdown();
  // False when a callback has not returned by `deadline` (onFinalize is then not run).
  bool finalizeForShutdown(std::chrono::steady_clock::time_point deadline);
  void releasePortsForShutdown();
  // Withdraws every servant of the component from the ORB.
  void deactivateObjects();
  bool hasExited() const { return m_exited.load(); }
  // The callback that did not give way when the component was to end; null when none.
  const char* stuckCallback() const { return m_stuckCallback.load(); }

 private:
  enum class Phase { CREATED, ALIVE, EXITING, EXITED };
  // Steps 2-3 and step 4 of the class comment, once step 1 was taken.
  ReturnCode_t finalizeStep(std::chrono::steady_clock::time_point deadline);
  void releasePorts();
  ReturnCode_t completeExit();
  ReturnCode_t runCallback(const char* name, ReturnCode_t (RTObject_impl::*callback)(UniqueId),
                           UniqueId id);

  Manager* m_manager;
  Logger m_log;
  coil::Properties m_properties;
  std::string m_instanceName;
  std::string m_typeName;
  std::string m_category;
  ConfigAdmin m_configsets;
  std::unique_ptr<SdoConfiguration> m_sdoConfiguration;
  std::unique_ptr<PeriodicExecutionContext> m_ec;
  RTObject_var m_objref;
  PortableServer::ObjectId_var m_objectId;

  mutable std::mutex m_portsMutex;
  std::vector<PortBase*> m_ports;

  std::mutex m_phaseMutex;
  Phase m_phase = Phase::CREATED;
  // Whether beginShutdown (rather than an exit() under way) took the component to EXITING.
  bool m_shutdownEnds = false;
  std::atomic<bool> m_exited{false};
  std::atomic<const char*> m_stuckCallback{nullptr};
  std::thread m_exitThread;
};

}  // namespace RTC
