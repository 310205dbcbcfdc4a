#include "peer_port.h"

#include "session.h"

namespace rtctl {

PeerPort::PeerPort(std::string name, std::string portType,
                   std::vector<std::pair<std::string, std::string>> published)
    : name_(std::move(name)), portType_(std::move(portType)), published_(std::move(published)) {}

void PeerPort::publishObject(const std::string& key, CORBA::Object_ptr object) {
  std::lock_guard<std::mutex> lock(mutex_);
  publishedObjects_.emplace_back(key, CORBA::Object::_duplicate(object));
}

void PeerPort::addInterface(const std::string& instanceName, const std::string& typeName,
                            bool provided) {
  std::lock_guard<std::mutex> lock(mutex_);
  CORBA::ULong at = interfaces_.length();
  interfaces_.length(at + 1);
  interfaces_[at].instance_name = instanceName.c_str();
  interfaces_[at].type_name = typeName.c_str();
  interfaces_[at].polarity = provided ? RTC::PROVIDED : RTC::REQUIRED;
}

RTC::PortProfile* PeerPort::get_port_profile() {
  std::lock_guard<std::mutex> lock(mutex_);
  RTC::PortProfile_var profile = new RTC::PortProfile;
  profile->name = name_.c_str();
  profile->interfaces = interfaces_;
  profile->port_ref = RTC::PortService::_nil();
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

RTC::ReturnCode_t PeerPort::notify_disconnect(const char*) {
  disconnected_ = true;
  return RTC::RTC_OK;
}

}  // namespace rtctl
