// The manager of a component process: reads the configuration, runs the ORB, keeps the
// component factories, creates components and binds them in the name servers, and shuts
// everything down on a signal or when the last component exits.
//
// Use: init → setModuleInitProc → activateManager (calls the module init procedure, then
// pre-connects and pre-activates) → runManager(false), which returns after shutdown.
// SIGINT/SIGTERM start an orderly shutdown (see RTObject.h for its order); a second one ends
// the process at once (status 130). The shutdown does not wait long for others: peers and
// name servers that do not answer are given up on after a short deadline. A callback that
// does not give way within PeriodicExecutionContext::kCallbackWait, or a call into the
// process that does not finish within a second, ends the process without waiting for it
// (status 1, with one line naming it), once the names are unbound and the log is flushed.
#pragma once

#include <rtm/Logger.h>
#include <rtm/RTC.h>

#include <coil/Properties.h>

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace RTC {

class Manager;
class RTObject_impl;
class NamingManager;

typedef void (*ModuleInitProc)(Manager* manager);
typedef RTObject_impl* (*RtcNewFunc)(Manager* manager);
typedef void (*RtcDeleteFunc)(RTObject_impl* rtc);

class Manager {
 public:
  // Reads the command line (-f file, -o key:value, -p port, -d) and rtc.conf, starts
  // logging and the ORB. Later calls return the same manager. Null, after one line per
  // problem on standard error, when an option or a configuration value cannot be used or
  // the ORB cannot start (see ManagerConfigCheck.h).
  static Manager* init(int argc, char** argv);
  // The manager; initialised with no arguments when init was not called.
  static Manager& instance();

  void setModuleInitProc(ModuleInitProc proc);
  // Calls the module init procedure, then manager.components.preconnect and
  // manager.components.preactivation. False when the process then has no component; with
  // manager.shutdown_on_nortcs the manager then shuts down (runManager returns at once).
  bool activateManager();
  // Blocks until shutdown and performs it (no_block = false); with no_block = true it
  // returns at once and shutdown() ends the manager later.
  void runManager(bool no_block = false);
  // Ends the manager: when a thread is blocked in runManager(false), asks it to shut down
  // and returns; otherwise shuts down on the calling thread, which must then not be a
  // callback's or a servant's thread.
  void shutdown();
  // Asks for shutdown without waiting for it.
  void terminate();

  bool registerFactory(coil::Properties& profile, RtcNewFunc new_func, RtcDeleteFunc delete_func);
  // Creates a component of `type_name` ("Type" or "Type?key=value&..."): null when the
  // type is unknown, its max_instance is reached, or onInitialize failed.
  RTObject_impl* createComponent(const char* type_name);
  std::vector<RTObject_impl*> getComponents();
  RTObject_impl* getComponent(const char* instance_name);

  coil::Properties& getConfig() { return m_config; }
  // New references (release them, or hold them in _var types).
  CORBA::ORB_ptr getORB();
  PortableServer::POA_ptr getPOA();
  Logger& logger() { return m_log; }

  // Called by a component at the end of its exit(): its names are unbound, and the
  // manager shuts down when it was the last one and manager.shutdown_on_nortcs is YES.
  void notifyFinalized(RTObject_impl* component);
  // The call time-out of the middleware's own calls to peers (ports, name servers).
  unsigned long callTimeout_ms() const { return m_callTimeout_ms; }

  ~Manager();

 private:
  Manager();
  struct Factory {
    coil::Properties profile;
    RtcNewFunc create;
    RtcDeleteFunc destroy;
    std::vector<RTObject_impl*> live;
  };
  struct Member {
    RTObject_impl* component;
    Factory* factory;
    std::vector<std::string> namingPaths;
  };
  bool initialize(int argc, char** argv);
  // Empty when the ORB runs, else the line that says why it does not.
  std::string initOrb();
  void initNaming();
  void connectPreconnected();
  void activatePreactivated();
  void shutdownEverything();
  // False when calls into the process did not finish in time.
  bool destroyOrb();
  [[noreturn]] void endNow(const std::string& reason);
  coil::Properties componentProperties(const Factory& factory, const std::string& instance_name,
                                       const coil::Properties& query);
  std::vector<std::string> namingPathsOf(RTObject_impl& component);

  Logger m_log{"manager"};
  coil::Properties m_config;
  CORBA::ORB_var m_orb;
  PortableServer::POA_var m_poa;
  std::unique_ptr<NamingManager> m_naming;
  ModuleInitProc m_initProc = nullptr;
  unsigned long m_callTimeout_ms = 0;

  std::mutex m_mutex;
  std::vector<std::unique_ptr<Factory>> m_factories;
  std::vector<Member> m_members;
  std::vector<Member> m_finished;

  std::mutex m_shutdownMutex;
  bool m_shutdownRequested = false;
  bool m_blockingInRun = false;
  bool m_isShutDown = false;
};

}  // namespace RTC
