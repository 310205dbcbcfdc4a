// A periodic execution context owned by one component: its own thread runs the
// component's callbacks at `rate` Hz and drives the lifecycle state machine
// (inactive ⇄ active, error) on requests from tools.
//
// Timing: cycles start on a fixed grid of periods from the context's start (or from the
// last rate change), each at an absolute time, so that the mean period is the period
// however long each cycle's callbacks take. The thread sleeps with a fine timer slack;
// requests (activation, deactivation, reset, stop) wake it at once and are served between
// cycles without moving the grid.
//
// Overruns: a cycle whose callbacks run past the start of the next one is followed by that
// next cycle at once, late, so that a context that overruns now and then catches up and
// keeps its rate. When the callbacks have fallen a whole period or more behind, the missed
// cycles are dropped, never run back to back; the next cycle starts at once and the grid
// keeps its phase (bench/rtm/ec_period_bench shows it).
#pragma once

#include <rtm/Logger.h>
#include <rtm/RTC.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace RTC {

class RTObject_impl;

class PeriodicExecutionContext : public virtual POA_RTC::ExecutionContextService {
 public:
  // The handle of a component's own context.
  static constexpr UniqueId kOwnedHandle = 0;
  // How long a tool's request, an exit or a shutdown waits for the callback under way to
  // give way.
  static constexpr std::chrono::milliseconds kCallbackWait{5000};

  PeriodicExecutionContext(RTObject_impl& owner, double rate_hz, Logger& log);
  ~PeriodicExecutionContext() override;
  PeriodicExecutionContext(const PeriodicExecutionContext&) = delete;
  PeriodicExecutionContext& operator=(const PeriodicExecutionContext&) = delete;

  ExecutionContextService_ptr getObjRef() const {
    return ::RTC::ExecutionContextService::_duplicate(m_objref);
  }
  void activateObject();
  void deactivateObject();

  // The owner's state as this context sees it.
  LifeCycleState state() const { return m_state.load(); }
  // Requests a transition and waits until the context's thread made it (or gave up
  // after a time-out); from the context's own thread it only requests.
  ReturnCode_t activate();
  ReturnCode_t deactivate();
  ReturnCode_t reset();
  // Stops the thread after deactivating an active owner and running onShutdown.
  ReturnCode_t stopAndJoin();
  // Asks the thread to stop after the callback under way (deactivating an active owner
  // and running onShutdown on the way out), without waiting.
  void requestStop();
  // Waits until the thread has stopped, at most until `deadline`; false when a callback
  // still has not returned then (see callbackUnderWay()).
  bool waitForStop(std::chrono::steady_clock::time_point deadline);
  // The name of the callback running now ("onExecute"), null between callbacks.
  const char* callbackUnderWay() const { return m_callbackUnderWay.load(); }
  // True while a deactivation or a stop waits for the callback under way to return: a
  // callback that waits on the outside world gives up then, so that it holds up neither
  // a tool nor the shutdown.
  bool isDeactivationPending() const;
  bool isOwnThread() const;

  // ExecutionContext
  CORBA::Boolean is_running() override;
  ReturnCode_t start() override;
  ReturnCode_t stop() override;
  CORBA::Double get_rate() override;
  ReturnCode_t set_rate(CORBA::Double rate) override;
  ReturnCode_t add_component(LightweightRTObject_ptr comp) override;
  ReturnCode_t remove_component(LightweightRTObject_ptr comp) override;
  ReturnCode_t activate_component(LightweightRTObject_ptr comp) override;
  ReturnCode_t deactivate_component(LightweightRTObject_ptr comp) override;
  ReturnCode_t reset_component(LightweightRTObject_ptr comp) override;
  LifeCycleState get_component_state(LightweightRTObject_ptr comp) override;
  ExecutionKind get_kind() override;
  // ExecutionContextService
  ExecutionContextProfile* get_profile() override;

 private:
  enum class Request { NONE, ACTIVATE, DEACTIVATE, RESET };
  ReturnCode_t request(Request request, LifeCycleState required);
  bool isOwner(LightweightRTObject_ptr comp);
  void run();
  void runCycle();
  void serveRequest();
  void enterError();
  // Runs one of the owner's callbacks, noting which one is under way.
  ReturnCode_t call(const char* name,
                    ReturnCode_t (RTObject_impl::*callback)(ExecutionContextHandle_t));

  RTObject_impl& m_owner;
  Logger& m_log;
  ExecutionContextService_var m_objref;
  PortableServer::ObjectId_var m_objectId;

  std::atomic<double> m_rate_hz;
  std::atomic<bool> m_rateChanged{false};
  std::atomic<LifeCycleState> m_state{INACTIVE_STATE};
  std::atomic<const char*> m_callbackUnderWay{nullptr};

  mutable std::mutex m_mutex;
  std::condition_variable m_wake;
  std::condition_variable m_requestDone;
  Request m_request = Request::NONE;
  ReturnCode_t m_requestResult = RTC_OK;
  unsigned long m_requestSerial = 0;
  unsigned long m_completedSerial = 0;
  bool m_running = false;
  bool m_stopRequested = false;
  std::thread m_thread;
  std::thread::id m_threadId;
};

}  // namespace RTC
