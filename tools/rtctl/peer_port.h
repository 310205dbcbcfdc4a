#pragma once
// rtctl's side of a data connection: a port servant that answers notify_connect by publishing
// its properties (an in-port's IOR for print), and an in-port servant that collects string
// samples.
#include <DataPort.hh>
#include <RTC.hh>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "string_samples.h"

namespace rtctl {

class PeerPort : public POA_RTC::PortService {
 public:
  // name is the port's profile name, portType its "port.port_type"; published holds the
  // properties added to each connector profile passing through notify_connect.
  PeerPort(std::string name, std::string portType,
           std::vector<std::pair<std::string, std::string>> published);
  // Also publishes key = object (an object reference in an Any).
  void publishObject(const std::string& key, CORBA::Object_ptr object);
  // Our own reference, set once the servant is activated.
  void setSelf(RTC::PortService_ptr self);

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
  RTC::PortService_var self_;
};

class StringSink : public POA_OpenRTM::InPortCdr {
 public:
  StringSink(StringSampleType type, bool littleEndian);

  OpenRTM::PortStatus put(const OpenRTM::CdrData& data) override;
  // The next sample's strings, waiting at most timeout_s; empty on time-out. A sample that
  // cannot be decoded yields one entry "<undecodable sample of N bytes>".
  std::optional<std::vector<std::string>> next(double timeout_s);

 private:
  StringSampleType type_;
  bool littleEndian_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::vector<std::string>> samples_;
};

}  // namespace rtctl
