#include "ExecutionContext.h"

#include <rtm/ExecutionRate.h>
#include <rtm/NVUtil.h>
#include <rtm/RTObject.h>
#include <rtm/ServantActivation.h>

#include <sys/prctl.h>

namespace RTC {
namespace {
// The context's thread wakes this close to its time (the default slack is 50 us).
constexpr unsigned long kTimerSlack_ns = 1000;
constexpr double kFallbackRate_hz = 1000.0;
}  // namespace

PeriodicExecutionContext::PeriodicExecutionContext(RTObject_impl& owner, double rate_hz,
                                                   Logger& log)
    : m_owner(owner), m_log(log), m_rate_hz(isUsableRate(rate_hz) ? rate_hz : kFallbackRate_hz) {}

PeriodicExecutionContext::~PeriodicExecutionContext() { stopAndJoin(); }

void PeriodicExecutionContext::activateObject() {
  m_objectId = activateServant(this);
  CORBA::Object_var object = referenceOf(m_objectId.in());
  m_objref = ::RTC::ExecutionContextService::_narrow(object);
}

void PeriodicExecutionContext::deactivateObject() {
  if (m_objectId.operator->() != nullptr) deactivateServant(m_objectId.in());
}

bool PeriodicExecutionContext::isOwnThread() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_running && std::this_thread::get_id() == m_threadId;
}

CORBA::Boolean PeriodicExecutionContext::is_running() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_running;
}

ReturnCode_t PeriodicExecutionContext::start() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_running) return PRECONDITION_NOT_MET;
  if (m_thread.joinable()) m_thread.join();
  m_running = true;
  m_stopRequested = false;
  m_thread = std::thread([this] { run(); });
  m_threadId = m_thread.get_id();
  return RTC_OK;
}

ReturnCode_t PeriodicExecutionContext::stop() {
  if (isOwnThread()) return PRECONDITION_NOT_MET;
  return stopAndJoin();
}

ReturnCode_t PeriodicExecutionContext::stopAndJoin() {
  std::thread thread;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_running && !m_thread.joinable()) return PRECONDITION_NOT_MET;
    m_stopRequested = true;
    thread = std::move(m_thread);
  }
  m_wake.notify_all();
  if (thread.joinable() && thread.get_id() != std::this_thread::get_id()) thread.join();
  std::lock_guard<std::mutex> lock(m_mutex);
  m_running = false;
  return RTC_OK;
}

void PeriodicExecutionContext::requestStop() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopRequested = true;
  }
  m_wake.notify_all();
}

bool PeriodicExecutionContext::waitForStop(std::chrono::steady_clock::time_point deadline) {
  std::thread thread;
  {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (std::this_thread::get_id() == m_threadId && m_running) return false;
    if (!m_requestDone.wait_until(lock, deadline, [this] { return !m_running; })) return false;
    thread = std::move(m_thread);
  }
  if (thread.joinable()) thread.join();
  return true;
}

bool PeriodicExecutionContext::isDeactivationPending() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_stopRequested || m_request == Request::DEACTIVATE;
}

CORBA::Double PeriodicExecutionContext::get_rate() { return m_rate_hz.load(); }

ReturnCode_t PeriodicExecutionContext::set_rate(CORBA::Double rate) {
  if (!isUsableRate(rate)) return BAD_PARAMETER;
  m_rate_hz = rate;
  m_rateChanged = true;
  m_wake.notify_all();
  return RTC_OK;
}

bool PeriodicExecutionContext::isOwner(LightweightRTObject_ptr comp) {
  if (CORBA::is_nil(comp)) return false;
  RTObject_var owner = m_owner.getObjRef();
  try {
    return owner->_is_equivalent(comp);
  } catch (const CORBA::SystemException&) {
    return false;
  }
}

ReturnCode_t PeriodicExecutionContext::add_component(LightweightRTObject_ptr comp) {
  // This context serves its owner only.
  return isOwner(comp) ? RTC_OK : UNSUPPORTED;
}

ReturnCode_t PeriodicExecutionContext::remove_component(LightweightRTObject_ptr comp) {
  return isOwner(comp) ? PRECONDITION_NOT_MET : BAD_PARAMETER;
}

ReturnCode_t PeriodicExecutionContext::activate_component(LightweightRTObject_ptr comp) {
  return isOwner(comp) ? activate() : BAD_PARAMETER;
}

ReturnCode_t PeriodicExecutionContext::deactivate_component(LightweightRTObject_ptr comp) {
  return isOwner(comp) ? deactivate() : BAD_PARAMETER;
}

ReturnCode_t PeriodicExecutionContext::reset_component(LightweightRTObject_ptr comp) {
  return isOwner(comp) ? reset() : BAD_PARAMETER;
}

LifeCycleState PeriodicExecutionContext::get_component_state(LightweightRTObject_ptr comp) {
  return isOwner(comp) ? m_state.load() : CREATED_STATE;
}

ExecutionKind PeriodicExecutionContext::get_kind() { return PERIODIC; }

ExecutionContextProfile* PeriodicExecutionContext::get_profile() {
  ExecutionContextProfile_var profile = new ExecutionContextProfile;
  profile->kind = PERIODIC;
  profile->rate = m_rate_hz.load();
  profile->owner = m_owner.getObjRef();
  profile->participants.length(1);
  profile->participants[0] = m_owner.getObjRef();
  NVUtil::setString(profile->properties, "type", "PeriodicExecutionContext");
  return profile._retn();
}

ReturnCode_t PeriodicExecutionContext::activate() {
  return request(Request::ACTIVATE, INACTIVE_STATE);
}
ReturnCode_t PeriodicExecutionContext::deactivate() {
  return request(Request::DEACTIVATE, ACTIVE_STATE);
}
ReturnCode_t PeriodicExecutionContext::reset() { return request(Request::RESET, ERROR_STATE); }

ReturnCode_t PeriodicExecutionContext::request(Request request, LifeCycleState required) {
  std::unique_lock<std::mutex> lock(m_mutex);
  if (!m_running || m_stopRequested) return PRECONDITION_NOT_MET;
  if (m_state.load() != required || m_request != Request::NONE) return PRECONDITION_NOT_MET;
  m_request = request;
  const unsigned long serial = ++m_requestSerial;
  m_wake.notify_all();
  if (std::this_thread::get_id() == m_threadId) return RTC_OK;
  m_requestDone.wait_for(lock, kCallbackWait,
                         [&] { return m_completedSerial >= serial || !m_running; });
  if (m_completedSerial != serial) {
    RTC_LOG(m_log, WARN, "state transition did not complete in time");
    return RTC_ERROR;
  }
  return m_requestResult;
}

ReturnCode_t PeriodicExecutionContext::call(
    const char* name, ReturnCode_t (RTObject_impl::*callback)(ExecutionContextHandle_t)) {
  m_callbackUnderWay = name;
  const ReturnCode_t result = (m_owner.*callback)(kOwnedHandle);
  m_callbackUnderWay = nullptr;
  return result;
}

void PeriodicExecutionContext::enterError() {
  m_state = ERROR_STATE;
  call("onAborting", &RTObject_impl::on_aborting);
}

void PeriodicExecutionContext::serveRequest() {
  Request request;
  unsigned long serial;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    request = m_request;
    serial = m_requestSerial;
  }
  if (request == Request::NONE) return;
  ReturnCode_t result = RTC_OK;
  const LifeCycleState state = m_state.load();
  switch (request) {
    case Request::ACTIVATE:
      if (state != INACTIVE_STATE) {
        result = PRECONDITION_NOT_MET;
      } else if ((result = call("onActivated", &RTObject_impl::on_activated)) == RTC_OK) {
        m_state = ACTIVE_STATE;
      } else {
        enterError();
      }
      break;
    case Request::DEACTIVATE:
      if (state != ACTIVE_STATE) {
        result = PRECONDITION_NOT_MET;
      } else if ((result = call("onDeactivated", &RTObject_impl::on_deactivated)) == RTC_OK) {
        m_state = INACTIVE_STATE;
      } else {
        enterError();
      }
      break;
    case Request::RESET:
      if (state != ERROR_STATE) {
        result = PRECONDITION_NOT_MET;
      } else if ((result = call("onReset", &RTObject_impl::on_reset)) == RTC_OK) {
        m_state = INACTIVE_STATE;
      }
      break;
    case Request::NONE:
      break;
  }
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_request = Request::NONE;
    m_requestResult = result;
    m_completedSerial = serial;
  }
  m_requestDone.notify_all();
}

void PeriodicExecutionContext::runCycle() {
  switch (m_state.load()) {
    case ACTIVE_STATE:
      if (call("onExecute", &RTObject_impl::on_execute) != RTC_OK ||
          call("onStateUpdate", &RTObject_impl::on_state_update) != RTC_OK)
        enterError();
      break;
    case ERROR_STATE:
      call("onError", &RTObject_impl::on_error);
      break;
    default:
      break;
  }
}

void PeriodicExecutionContext::run() {
  using clock = std::chrono::steady_clock;
  prctl(PR_SET_TIMERSLACK, kTimerSlack_ns);
  m_owner.applyConfigurationUpdate();
  call("onStartup", &RTObject_impl::on_startup);
  auto period = periodOf(m_rate_hz.load());
  auto scheduled = clock::now();
  while (true) {
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      m_wake.wait_until(lock, scheduled,
                        [&] { return m_stopRequested || m_request != Request::NONE; });
      if (m_stopRequested) break;
    }
    m_owner.applyConfigurationUpdate();
    serveRequest();
    if (clock::now() < scheduled) continue;

    if (m_rateChanged.exchange(false)) {
      call("onRateChanged", &RTObject_impl::on_rate_changed);
      period = periodOf(m_rate_hz.load());
      scheduled = clock::now();
    }
    runCycle();
    scheduled = nextCycleStart(scheduled, period, clock::now());
  }
  if (m_state.load() == ACTIVE_STATE) {
    if (call("onDeactivated", &RTObject_impl::on_deactivated) == RTC_OK)
      m_state = INACTIVE_STATE;
    else
      enterError();
  }
  call("onShutdown", &RTObject_impl::on_shutdown);
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_running = false;
    m_request = Request::NONE;
  }
  m_requestDone.notify_all();
}

}  // namespace RTC
