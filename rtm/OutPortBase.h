// The untyped part of a data out-port: its connections over corba_cdr push and the
// sending of one marshalled sample to each of them.
//
// A sample is marshalled once per byte order in use (normally once) and the same octets
// go to every connection. Each put has a bounded call time-out (dataport.call_timeout_ms,
// from the connection's properties or rtc.conf), so a dead or hung reader costs at most
// that long; a connection whose put fails with a CORBA exception is dropped with one log
// line and the writer carries on with the others.
#pragma once

#include <rtm/PortBase.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace RTC {

// The outcome of a write on one connection.
enum class DataPortStatus {
  PORT_OK,
  PORT_ERROR,
  BUFFER_FULL,
  BUFFER_EMPTY,
  BUFFER_TIMEOUT,
  UNKNOWN_ERROR,
  CONNECTION_LOST
};
typedef std::vector<DataPortStatus> DataPortStatusList;

class OutPortBase : public PortBase {
 public:
  OutPortBase(const char* name, const std::string& data_type);
  ~OutPortBase() override;

  const std::string& dataType() const { return m_dataType; }
  // The outcome on each connection of the last write, in connection order.
  DataPortStatusList getStatusList() const;
  size_t connectionCount() const;

 protected:
  // Sends one sample; `marshal` writes it into the stream it is given. False when any
  // connection failed (true with no connection).
  bool writeSample(const std::function<void(cdrStream&)>& marshal);

  ReturnCode_t publishInterfaces(ConnectorProfile& connector_profile) override;
  ReturnCode_t subscribeInterfaces(const ConnectorProfile& connector_profile) override;
  void unsubscribeInterfaces(const ConnectorProfile& connector_profile) override;
  void completeConnectorProfile(ConnectorProfile& connector_profile) override;

 private:
  struct Connection {
    std::string id;
    OpenRTM::InPortCdr_var reader;
    bool littleEndian = true;
  };
  std::vector<std::shared_ptr<Connection>> connectionsSnapshot() const;
  void dropLost(const std::shared_ptr<Connection>& connection, const char* reason);

  const std::string m_dataType;
  mutable std::mutex m_connectionsMutex;
  std::vector<std::shared_ptr<Connection>> m_connections;
  mutable std::mutex m_writeMutex;
  DataPortStatusList m_statusList;
  // Kept from write to write so that a large sample's buffer is allocated once; index 0
  // little-endian, 1 big-endian.
  std::unique_ptr<cdrMemoryStream> m_streams[2];
};

}  // namespace RTC
