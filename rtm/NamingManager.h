// Keeps the manager's components bound in every configured CORBA name server.
//
// A name server that cannot be reached is reported once with one warning line and tried
// again at every refresh (naming.update.interval); when it appears, or comes back empty
// after a restart, every name is bound again. CORBA failures towards a name server never
// leave this class.
#pragma once

#include <rtm/Logger.h>

#include <omniORB4/CORBA.h>
#include <omniORB4/Naming.hh>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace RTC {

class NamingManager {
 public:
  // `servers` are "host[:port]" addresses; `call_timeout_ms` bounds each call to them.
  NamingManager(CORBA::ORB_ptr orb, const std::vector<std::string>& servers,
                double update_interval_s, unsigned long call_timeout_ms, Logger& log);
  ~NamingManager();
  NamingManager(const NamingManager&) = delete;
  NamingManager& operator=(const NamingManager&) = delete;

  // Binds `object` under the naming path (e.g. "host.host_cxt/Brisko0.rtc") now where the
  // server answers, and at every refresh.
  void bindObject(const std::string& path, CORBA::Object_ptr object);
  // Removes the binding of `path` where it still refers to `object`.
  void unbindObject(const std::string& path);
  void unbindAll();
  // Starts and stops the periodic refresh.
  void startRefresh();
  void stopRefresh();

 private:
  struct Server {
    std::string address;
    CosNaming::NamingContext_var root;
    bool reachable = true;  // until shown otherwise; a warning is given once per outage
  };
  struct Binding {
    std::string path;
    CORBA::Object_var object;
  };
  void bindOn(Server& server, const Binding& binding);
  CosNaming::NamingContext_ptr rootOf(Server& server);
  void reportFailure(Server& server, const char* what);
  void reportSuccess(Server& server);
  void refreshAll();

  CORBA::ORB_var m_orb;
  Logger& m_log;
  const double m_interval_s;
  const unsigned long m_callTimeout_ms;

  std::mutex m_mutex;  // guards the lists; held across name-server calls
  std::vector<Server> m_servers;
  std::vector<Binding> m_bindings;

  std::mutex m_refreshMutex;
  std::condition_variable m_refreshWake;
  bool m_refreshStop = false;
  std::thread m_refreshThread;
};

}  // namespace RTC
