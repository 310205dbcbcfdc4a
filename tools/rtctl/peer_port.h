#pragma once
// rtctl's side of a connection: a port servant that answers notify_connect by publishing its
// properties (an in-port's IOR, a provided service's IOR) and notices when the peer removes
// the connection, and an in-port servant that hands each sample's octets on.
#include <DataPort.hh>
#include <RTC.hh>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace rtctl {

class PeerPort : public POA_RTC::PortService {
 public:
  // name is the port's profile name, portType its "port.port_type"; published holds the
  // properties added to each connector profile passing through notify_connect.
  PeerPort(std::string name, std::string portType,
           std::vector<std::pair<std::string, std::string>> published);
  // Also publishes key = object (an object reference in an Any).
  void publishObject(const std::string& key, CORBA::Object_ptr object);
  // An interface the port's profile shows (a provided service).
  void addInterface(const std::string& instanceName, const std::string& typeName, bool provided);
  // True once a peer has told this port that a connection was removed.
  bool disconnected() const { return disconnected_; }

  RTC::PortProfile* get_port_profile() override;
  RTC::ConnectorProfileList* get_connector_profiles() override;
  RTC::ConnectorProfile* get_connector_profile(const char* connector_id) override;
  RTC::ReturnCode_t connect(RTC::ConnectorProfile& connector_profile) override;
  RTC::ReturnCode_t disconnect(const char* connector_id) override;
  RTC::ReturnCode_t disconnect_all() override;
  RTC::ReturnCode_t notify_connect(RTC::ConnectorProfile& connector_profile) override;
  RTC::ReturnCode_t notify_disconnect(const char* connector_id) override;

 private:
  std::mutex mutex_;
  std::string name_;
  std::string portType_;
  std::vector<std::pair<std::string, std::string>> published_;
  std::vector<std::pair<std::string, CORBA::Object_var>> publishedObjects_;
  RTC::PortInterfaceProfileList interfaces_;
  std::atomic<bool> disconnected_{false};
};

// An in-port servant: each sample that arrives goes to `take`, on the ORB's thread, whose
// answer goes back to the writer.
class CdrSink : public POA_OpenRTM::InPortCdr {
 public:
  using Take = std::function<OpenRTM::PortStatus(const OpenRTM::CdrData&)>;
  explicit CdrSink(Take take) : take_(std::move(take)) {}

  OpenRTM::PortStatus put(const OpenRTM::CdrData& data) override { return take_(data); }

 private:
  Take take_;
};

}  // namespace rtctl
