#include "peer_port.h"

#include <chrono>

#include "session.h"

namespace rtctl {

namespace {

// Unread samples kept for the printer; a flood beyond this drops the oldest.
constexpr size_t kSinkCapacity = 1024;

}  // namespace

PeerPort::PeerPort(std::string name, std::string portType,
                   std::vector<std::pair<std::string, std::string>> published)
    : name_(std::move(name)), portType_(std::move(portType)), published_(std::move(published)) {}

void PeerPort::publishObject(const std::string& key, CORBA::Object_ptr object) {
  std::lock_guard<std::mutex> lock(mutex_);
  publishedObjects_.emplace_back(key, CORBA::Object::_duplicate(object));
}

void PeerPort::setSelf(RTC::PortService_ptr self) {
  std::lock_guard<std::mutex> lock(mutex_);
  self_ = RTC::PortService::_duplicate(self);
}

RTC::PortProfile* PeerPort::get_port_profile() {
  std::lock_guard<std::mutex> lock(mutex_);
  RTC::PortProfile_var profile = new RTC::PortProfile;
  profile->name = name_.c_str();
  profile->port_ref = RTC::PortService::_duplicate(self_);
  profile->owner = RTC::RTObject::_nil();
  setStringProperty(profile->properties, "port.port_type", portType_);
  return profile._retn();
}

RTC::ConnectorProfileList* PeerPort::get_connector_profiles() {
  return new RTC::ConnectorProfileList;
}

RTC::ConnectorProfile* PeerPort::get_connector_profile(const char*) {
  return new RTC::ConnectorProfile;
}

RTC::ReturnCode_t PeerPort::connect(RTC::ConnectorProfile&) { return RTC::UNSUPPORTED; }

RTC::ReturnCode_t PeerPort::disconnect(const char*) { return RTC::RTC_OK; }

RTC::ReturnCode_t PeerPort::disconnect_all() { return RTC::RTC_OK; }

RTC::ReturnCode_t PeerPort::notify_connect(RTC::ConnectorProfile& connector_profile) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& [key, value] : published_)
    setStringProperty(connector_profile.properties, key, value);
  for (const auto& [key, object] : publishedObjects_) {
    CORBA::ULong at = connector_profile.properties.length();
    connector_profile.properties.length(at + 1);
    connector_profile.properties[at].name = key.c_str();
    connector_profile.properties[at].value <<= CORBA::Object::_duplicate(object);
  }
  return RTC::RTC_OK;
}

RTC::ReturnCode_t PeerPort::notify_disconnect(const char*) { return RTC::RTC_OK; }

StringSink::StringSink(StringSampleType type, bool littleEndian)
    : type_(type), littleEndian_(littleEndian) {}

OpenRTM::PortStatus StringSink::put(const OpenRTM::CdrData& data) {
  auto strings = decodeStringSample(type_, data, littleEndian_);
  std::lock_guard<std::mutex> lock(mutex_);
  if (samples_.size() >= kSinkCapacity) samples_.pop_front();
  samples_.push_back(strings ? *strings
                             : std::vector<std::string>{"<undecodable sample of " +
                                                        std::to_string(data.length()) + " bytes>"});
  arrived_.notify_one();
  return strings ? OpenRTM::PORT_OK : OpenRTM::PORT_ERROR;
}

std::optional<std::vector<std::string>> StringSink::next(double timeout_s) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!arrived_.wait_for(lock, std::chrono::duration<double>(timeout_s),
                         [this] { return !samples_.empty(); })) {
    return std::nullopt;
  }
  std::vector<std::string> sample = std::move(samples_.front());
  samples_.pop_front();
  return sample;
}

}  // namespace rtctl
