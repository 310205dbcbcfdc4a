#include "CorbaPort.h"

#include <rtm/Manager.h>
#include <rtm/NVUtil.h>
#include <rtm/ServantActivation.h>

#include <coil/stringutil.h>

#include <algorithm>

namespace RTC {

CorbaPort::CorbaPort(const char* name) : PortBase(name) {
  setPortProperty("port.port_type", "CorbaPort");
}

CorbaPort::~CorbaPort() = default;

void CorbaPort::deactivateObject() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Provider& provider : m_providers) {
      if (provider.objectId.operator->() == nullptr) continue;
      deactivateServant(provider.objectId.in());
      provider.objectId = static_cast<PortableServer::ObjectId*>(nullptr);
    }
  }
  PortBase::deactivateObject();
}

std::string CorbaPort::keyPrefix() const {
  // The full port name is "<instance>.<port>".
  const std::string full_name = getName();
  const size_t dot = full_name.rfind('.' + shortName());
  const std::string instance = dot == std::string::npos ? "" : full_name.substr(0, dot);
  return instance + ".port." + shortName();
}

bool CorbaPort::registerProvider(const char* instance_name, const char* type_name,
                                 PortableServer::ServantBase& provider) {
  if (instance_name == nullptr || type_name == nullptr) return false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Provider& existing : m_providers)
      if (existing.instanceName == instance_name) return false;
  }
  Provider entry;
  entry.instanceName = instance_name;
  entry.typeName = type_name;
  try {
    PortableServer::POA_var poa = Manager::instance().getPOA();
    CORBA::Object_var object;
    try {
      entry.objectId = poa->servant_to_id(&provider);
    } catch (const PortableServer::POA::ServantNotActive&) {
      entry.objectId = poa->activate_object(&provider);
    }
    object = poa->id_to_reference(entry.objectId.in());
    CORBA::ORB_var orb = Manager::instance().getORB();
    CORBA::String_var ior = orb->object_to_string(object);
    entry.ior = ior.in();
  } catch (const CORBA::Exception& error) {
    RTC_LOG(m_log, ERROR, "provider %s cannot be activated (%s)", instance_name, error._name());
    return false;
  }
  PortInterfaceProfile profile;
  profile.instance_name = instance_name;
  profile.type_name = type_name;
  profile.polarity = PROVIDED;
  appendInterface(profile);
  std::lock_guard<std::mutex> lock(m_mutex);
  m_providers.push_back(std::move(entry));
  return true;
}

bool CorbaPort::registerConsumer(const char* instance_name, const char* type_name,
                                 CorbaConsumerBase& consumer) {
  if (instance_name == nullptr || type_name == nullptr) return false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Consumer& existing : m_consumers)
      if (existing.instanceName == instance_name) return false;
    m_consumers.push_back({instance_name, type_name, &consumer});
  }
  PortInterfaceProfile profile;
  profile.instance_name = instance_name;
  profile.type_name = type_name;
  profile.polarity = REQUIRED;
  appendInterface(profile);
  return true;
}

ReturnCode_t CorbaPort::publishInterfaces(ConnectorProfile& connector_profile) {
  const std::string prefix = keyPrefix();
  std::lock_guard<std::mutex> lock(m_mutex);
  for (const Provider& provider : m_providers) {
    NVUtil::setString(connector_profile.properties,
                      prefix + ".provided." + provider.typeName + "." + provider.instanceName,
                      provider.ior);
    NVUtil::setString(connector_profile.properties,
                      "port." + provider.typeName + "." + provider.instanceName, provider.ior);
  }
  return RTC_OK;
}

ReturnCode_t CorbaPort::subscribeInterfaces(const ConnectorProfile& connector_profile) {
  const SDOPackage::NVList& properties = connector_profile.properties;
  const std::string prefix = keyPrefix();
  const std::string id = static_cast<const char*>(connector_profile.connector_id);
  std::vector<Consumer> consumers;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    consumers = m_consumers;
  }
  std::vector<ConsumerLink> links;
  CORBA::ORB_var orb = Manager::instance().getORB();
  for (const Consumer& consumer : consumers) {
    std::string ior;
    const std::string required_key =
        prefix + ".required." + consumer.typeName + "." + consumer.instanceName;
    const std::string provider_key = NVUtil::toString(properties, required_key);
    if (!provider_key.empty()) ior = NVUtil::toString(properties, provider_key);
    if (ior.empty())
      ior = NVUtil::toString(properties, "port." + consumer.typeName + "." + consumer.instanceName);
    const std::string word = coil::toLower(ior);
    if (ior.empty() || word == "nil" || word == "null") continue;
    if (ior.compare(0, 4, "IOR:") != 0) {
      RTC_LOG(m_log, WARN, "consumer %s: the provider reference is not an IOR; ignored",
              consumer.instanceName.c_str());
      continue;
    }
    try {
      CORBA::Object_var object = orb->string_to_object(ior.c_str());
      if (consumer.consumer->setObject(object))
        links.push_back({id, consumer.consumer, CORBA::Object::_duplicate(object)});
      else
        RTC_LOG(m_log, WARN, "consumer %s: the provider is not a %s", consumer.instanceName.c_str(),
                consumer.typeName.c_str());
    } catch (const CORBA::SystemException& error) {
      RTC_LOG(m_log, WARN, "consumer %s: unusable provider reference (%s)",
              consumer.instanceName.c_str(), error._name());
    }
  }
  std::lock_guard<std::mutex> lock(m_mutex);
  for (ConsumerLink& link : links) m_consumerLinks.push_back(std::move(link));
  return RTC_OK;
}

void CorbaPort::unsubscribeInterfaces(const ConnectorProfile& connector_profile) {
  const std::string id = static_cast<const char*>(connector_profile.connector_id);
  // Each consumer this connection set goes back to the provider of its latest remaining
  // connection, or to nothing.
  std::vector<std::pair<CorbaConsumerBase*, CORBA::Object_var>> next;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<CorbaConsumerBase*> affected;
    for (const ConsumerLink& link : m_consumerLinks)
      if (link.connectorId == id) affected.push_back(link.consumer);
    if (affected.empty()) return;
    m_consumerLinks.erase(
        std::remove_if(m_consumerLinks.begin(), m_consumerLinks.end(),
                       [&id](const ConsumerLink& link) { return link.connectorId == id; }),
        m_consumerLinks.end());
    for (CorbaConsumerBase* consumer : affected) {
      CORBA::Object_var remaining;
      for (const ConsumerLink& link : m_consumerLinks)
        if (link.consumer == consumer) remaining = CORBA::Object::_duplicate(link.provider);
      next.emplace_back(consumer, remaining);
    }
  }
  for (auto& [consumer, provider] : next) {
    if (CORBA::is_nil(provider) || !consumer->setObject(provider)) consumer->releaseObject();
  }
}

}  // namespace RTC
