#include "PortBase.h"

#include <rtm/CallDeadline.h>
#include <rtm/Manager.h>
#include <rtm/NVUtil.h>
#include <rtm/ServantActivation.h>
#include <rtm/Uuid.h>

namespace RTC {
namespace {
// A peer port that hangs must not hold up connecting, disconnecting or exiting for long.
// False when the calling thread's deadline has passed: the peer is not called then.
bool limitCallTime(CORBA::Object_ptr peer) {
  return boundCallTime(peer, Manager::instance().callTimeout_ms());
}
}  // namespace

PortBase::PortBase(const char* name) : m_log(name ? name : ""), m_shortName(name ? name : "") {
  m_profile.name = m_shortName.c_str();
  m_profile.owner = ::RTC::RTObject::_nil();
  m_profile.port_ref = ::RTC::PortService::_nil();
}

PortBase::~PortBase() = default;

std::string PortBase::getName() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return static_cast<const char*>(m_profile.name);
}

void PortBase::setOwner(RTObject_ptr owner, const std::string& instance_name) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_profile.owner = ::RTC::RTObject::_duplicate(owner);
  const std::string full_name = instance_name + "." + m_shortName;
  m_profile.name = full_name.c_str();
  m_log = Logger(full_name);
}

void PortBase::activateObject() {
  if (!CORBA::is_nil(m_objref)) return;
  m_objectId = activateServant(this);
  CORBA::Object_var object = referenceOf(m_objectId.in());
  m_objref = ::RTC::PortService::_narrow(object);
  std::lock_guard<std::mutex> lock(m_mutex);
  m_profile.port_ref = ::RTC::PortService::_duplicate(m_objref);
}

void PortBase::deactivateObject() {
  if (m_objectId.operator->() != nullptr) {
    deactivateServant(m_objectId.in());
    m_objectId = static_cast<PortableServer::ObjectId*>(nullptr);
  }
}

bool PortBase::isConnected() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_profile.connector_profiles.length() > 0;
}

std::vector<std::string> PortBase::connectorIds() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<std::string> ids;
  for (CORBA::ULong i = 0; i < m_profile.connector_profiles.length(); ++i)
    ids.push_back(static_cast<const char*>(m_profile.connector_profiles[i].connector_id));
  return ids;
}

void PortBase::setPortProperty(const std::string& key, const std::string& value) {
  std::lock_guard<std::mutex> lock(m_mutex);
  NVUtil::setString(m_profile.properties, key, value);
}

void PortBase::appendInterface(const PortInterfaceProfile& profile) {
  std::lock_guard<std::mutex> lock(m_mutex);
  CORBA::ULong index = m_profile.interfaces.length();
  m_profile.interfaces.length(index + 1);
  m_profile.interfaces[index] = profile;
}

PortProfile* PortBase::get_port_profile() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return new PortProfile(m_profile);
}

ConnectorProfileList* PortBase::get_connector_profiles() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return new ConnectorProfileList(m_profile.connector_profiles);
}

bool PortBase::findConnector(const std::string& id, ConnectorProfile& out) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  for (CORBA::ULong i = 0; i < m_profile.connector_profiles.length(); ++i) {
    if (id == static_cast<const char*>(m_profile.connector_profiles[i].connector_id)) {
      out = m_profile.connector_profiles[i];
      return true;
    }
  }
  return false;
}

ConnectorProfile* PortBase::get_connector_profile(const char* connector_id) {
  ConnectorProfile_var profile = new ConnectorProfile;
  if (connector_id != nullptr) findConnector(connector_id, profile.inout());
  return profile._retn();
}

ReturnCode_t PortBase::connect(ConnectorProfile& connector_profile) {
  try {
    std::string id = static_cast<const char*>(connector_profile.connector_id);
    ConnectorProfile existing;
    if (id.empty()) {
      connector_profile.connector_id = newUuid().c_str();
    } else if (findConnector(id, existing)) {
      return PRECONDITION_NOT_MET;
    }
    if (connector_profile.ports.length() == 0) return BAD_PARAMETER;
    completeConnectorProfile(connector_profile);
    limitCallTime(connector_profile.ports[0]);
    ReturnCode_t result = connector_profile.ports[0]->notify_connect(connector_profile);
    if (result != RTC_OK) {
      RTC_LOG(m_log, WARN, "connect %s failed (code %d)",
              static_cast<const char*>(connector_profile.connector_id), static_cast<int>(result));
      try {
        connector_profile.ports[0]->notify_disconnect(connector_profile.connector_id);
      } catch (const CORBA::SystemException&) {
      }
    }
    return result;
  } catch (const CORBA::SystemException& error) {
    RTC_LOG(m_log, WARN, "connect failed: the first port did not answer (%s)", error._name());
    return RTC_ERROR;
  }
}

ReturnCode_t PortBase::notify_connect(ConnectorProfile& connector_profile) {
  ReturnCode_t result = publishInterfaces(connector_profile);
  if (result != RTC_OK) return result;
  result = connectNext(connector_profile);
  if (result != RTC_OK) {
    unsubscribeInterfaces(connector_profile);
    return result;
  }
  result = subscribeInterfaces(connector_profile);
  if (result != RTC_OK) {
    unsubscribeInterfaces(connector_profile);
    return result;
  }
  std::lock_guard<std::mutex> lock(m_mutex);
  ConnectorProfileList& list = m_profile.connector_profiles;
  for (CORBA::ULong i = 0; i < list.length(); ++i) {
    if (std::string(list[i].connector_id) ==
        static_cast<const char*>(connector_profile.connector_id)) {
      list[i] = connector_profile;
      return RTC_OK;
    }
  }
  CORBA::ULong index = list.length();
  list.length(index + 1);
  list[index] = connector_profile;
  return RTC_OK;
}

bool PortBase::isSelf(PortService_ptr port) const {
  try {
    return port->_is_equivalent(m_objref);
  } catch (const CORBA::SystemException&) {
    return false;
  }
}

ReturnCode_t PortBase::connectNext(ConnectorProfile& connector_profile) {
  const CORBA::ULong count = connector_profile.ports.length();
  for (CORBA::ULong i = 0; i < count; ++i) {
    if (!isSelf(connector_profile.ports[i])) continue;
    if (i + 1 == count) return RTC_OK;
    limitCallTime(connector_profile.ports[i + 1]);
    try {
      return connector_profile.ports[i + 1]->notify_connect(connector_profile);
    } catch (const CORBA::SystemException& error) {
      RTC_LOG(m_log, WARN, "the next port of connector %s did not answer (%s)",
              static_cast<const char*>(connector_profile.connector_id), error._name());
      return RTC_ERROR;
    }
  }
  return BAD_PARAMETER;
}

void PortBase::disconnectNext(const ConnectorProfile& connector_profile) {
  const CORBA::ULong count = connector_profile.ports.length();
  for (CORBA::ULong i = 0; i + 1 < count; ++i) {
    if (!isSelf(connector_profile.ports[i])) continue;
    // A peer that is gone cannot be told; its side of the connection went with it.
    for (CORBA::ULong next = i + 1; next < count; ++next) {
      if (!limitCallTime(connector_profile.ports[next])) return;
      try {
        connector_profile.ports[next]->notify_disconnect(connector_profile.connector_id);
        return;
      } catch (const CORBA::SystemException&) {
      }
    }
    return;
  }
}

ReturnCode_t PortBase::disconnect(const char* connector_id) {
  ConnectorProfile profile;
  if (connector_id == nullptr || !findConnector(connector_id, profile)) return BAD_PARAMETER;
  if (profile.ports.length() == 0 || isSelf(profile.ports[0]) || !limitCallTime(profile.ports[0]))
    return notify_disconnect(connector_id);
  try {
    return profile.ports[0]->notify_disconnect(connector_id);
  } catch (const CORBA::SystemException&) {
    // The first port is gone: take the connection apart from here on.
    return notify_disconnect(connector_id);
  }
}

ReturnCode_t PortBase::notify_disconnect(const char* connector_id) {
  ConnectorProfile profile;
  if (connector_id == nullptr || !findConnector(connector_id, profile)) return BAD_PARAMETER;
  unsubscribeInterfaces(profile);
  disconnectNext(profile);
  dropConnection(connector_id);
  return RTC_OK;
}

ReturnCode_t PortBase::disconnect_all() {
  ReturnCode_t result = RTC_OK;
  for (const std::string& id : connectorIds()) {
    ReturnCode_t one = disconnect(id.c_str());
    if (one != RTC_OK) result = one;
  }
  return result;
}

void PortBase::dropConnection(const std::string& connector_id) {
  std::lock_guard<std::mutex> lock(m_mutex);
  ConnectorProfileList& list = m_profile.connector_profiles;
  for (CORBA::ULong i = 0; i < list.length(); ++i) {
    if (connector_id != static_cast<const char*>(list[i].connector_id)) continue;
    for (CORBA::ULong j = i + 1; j < list.length(); ++j) list[j - 1] = list[j];
    list.length(list.length() - 1);
    return;
  }
}

}  // namespace RTC
