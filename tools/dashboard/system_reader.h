#pragma once
// Reads the system from the name server for the page: every component bound in it (the naming
// walk rtctl uses), its state, its ports and their connectors. Every remote call is limited in
// time, so a hung component costs one time-out and shows as unreachable; a component whose
// process is gone shows the same way, with the reason.
#include <omniORB4/CORBA.h>

#include <atomic>
#include <string>

#include "system_view.h"

namespace dashboard {

// How long one remote call of the dashboard may take.
inline constexpr unsigned long kCallTimeout_ms = 2000;

class SystemReader {
 public:
  // nameServer: "host:port" as in rtc.conf's corba.nameservers. Once `cancelled` is set, a read
  // asks no further component (so that the dashboard ends without waiting for every hung one);
  // it outlives the reader.
  SystemReader(CORBA::ORB_ptr orb, std::string nameServer, const std::atomic<bool>& cancelled);

  SystemView read();
  // Activates or deactivates the component with that instance name in its own execution
  // context. Empty on success, else one line saying why not.
  std::string changeState(const std::string& instanceName, bool activate);

 private:
  ComponentView readComponent(const std::string& path, CORBA::Object_ptr object);

  CORBA::ORB_var orb_;
  std::string nameServer_;
  const std::atomic<bool>& cancelled_;
};

}  // namespace dashboard
