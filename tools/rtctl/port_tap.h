#pragma once
// An in-port of rtctl's own connected to a component's out-port: print, wait, hz, record and
// the replay's comparison listen through it. It also tells when it can no longer hear anything:
// the connection removed, the component gone, the name server gone.
#include <string>

#include "peer_port.h"
#include "port_connection.h"

namespace rtctl {

// How often a listener looks whether its component and the name server are still there.
inline constexpr double kLivenessCheck_s = 1.0;

class OutPortTap {
 public:
  // Connects "rtctl.<purpose>" to the out-port found at address; each sample goes to take on
  // an ORB thread. Throws Failure (not an out-port, the connection refused).
  OutPortTap(Session& session, FoundPort found, const PortAddress& address,
             const std::string& purpose, CdrSink::Take take);
  ~OutPortTap();
  OutPortTap(const OutPortTap&) = delete;
  OutPortTap& operator=(const OutPortTap&) = delete;

  const std::string& dataType() const { return dataType_; }
  bool littleEndian() const { return littleEndian_; }
  const std::string& label() const { return label_; }

  // Empty while samples can still come; otherwise the one line that says why they cannot:
  // the component gone ("Talker0: TRANSIENT ..."), its name or the name server gone, the
  // connection removed. Makes remote calls: call it about once per kLivenessCheck_s.
  std::string lost();
  // Removes the connection (also done by the destructor).
  void disconnect();

 private:
  Session& session_;
  FoundPort found_;
  std::string label_;
  std::string dataType_;
  bool littleEndian_ = true;
  PeerPort* ownServant_ = nullptr;
  RTC::PortService_var own_;
  std::string connectorId_;
};

}  // namespace rtctl
