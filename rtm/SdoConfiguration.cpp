#include "SdoConfiguration.h"

#include <rtm/NVUtil.h>
#include <rtm/ServantActivation.h>

namespace RTC {

void SdoConfiguration::activateObject() {
  m_objectId = activateServant(this);
  CORBA::Object_var object = referenceOf(m_objectId.in());
  m_objref = SDOPackage::Configuration::_narrow(object);
}

void SdoConfiguration::deactivateObject() {
  if (m_objectId.operator->() == nullptr) return;
  deactivateServant(m_objectId.in());
  m_objectId = static_cast<PortableServer::ObjectId*>(nullptr);
}

CORBA::Boolean SdoConfiguration::set_device_profile(const SDOPackage::DeviceProfile&) {
  return false;
}

CORBA::Boolean SdoConfiguration::add_service_profile(const SDOPackage::ServiceProfile&) {
  return false;
}

CORBA::Boolean SdoConfiguration::add_organization(SDOPackage::Organization_ptr) { return false; }
CORBA::Boolean SdoConfiguration::remove_service_profile(const char*) { return false; }
CORBA::Boolean SdoConfiguration::remove_organization(const char*) { return false; }

SDOPackage::ParameterList* SdoConfiguration::get_configuration_parameters() {
  return new SDOPackage::ParameterList;
}

SDOPackage::NVList* SdoConfiguration::get_configuration_parameter_values() {
  return new SDOPackage::NVList;
}

CORBA::Any* SdoConfiguration::get_configuration_parameter_value(const char*) {
  throw SDOPackage::NotAvailable("configuration parameters are kept in configuration sets");
}

CORBA::Boolean SdoConfiguration::set_configuration_parameter(const char*, const CORBA::Any&) {
  return false;
}

SDOPackage::ConfigurationSet* SdoConfiguration::toConfigurationSet(const std::string& id) const {
  SDOPackage::ConfigurationSet_var set = new SDOPackage::ConfigurationSet;
  set->id = id.c_str();
  set->description = "";
  NVUtil::copyFromProperties(set->configuration_data, m_configsets.getSet(id));
  return set._retn();
}

SDOPackage::ConfigurationSetList* SdoConfiguration::get_configuration_sets() {
  SDOPackage::ConfigurationSetList_var list = new SDOPackage::ConfigurationSetList;
  const std::vector<std::string> ids = m_configsets.setIds();
  list->length(static_cast<CORBA::ULong>(ids.size()));
  for (CORBA::ULong i = 0; i < ids.size(); ++i) {
    SDOPackage::ConfigurationSet_var set = toConfigurationSet(ids[i]);
    list[i] = set.in();
  }
  return list._retn();
}

SDOPackage::ConfigurationSet* SdoConfiguration::get_configuration_set(const char* config_id) {
  if (config_id == nullptr || !m_configsets.haveSet(config_id))
    throw SDOPackage::NotAvailable("no such configuration set");
  return toConfigurationSet(config_id);
}

CORBA::Boolean SdoConfiguration::set_configuration_set_values(
    const SDOPackage::ConfigurationSet& configuration_set) {
  const std::string id = static_cast<const char*>(configuration_set.id);
  if (id.empty()) throw SDOPackage::InvalidParameter("the configuration set has no id");
  std::string refusal;
  if (!m_configsets.setValues(id, NVUtil::toProperties(configuration_set.configuration_data),
                              &refusal) &&
      !refusal.empty())
    throw SDOPackage::InvalidParameter(refusal.c_str());
  return true;
}

SDOPackage::ConfigurationSet* SdoConfiguration::get_active_configuration_set() {
  return toConfigurationSet(m_configsets.activeSetId());
}

CORBA::Boolean SdoConfiguration::add_configuration_set(
    const SDOPackage::ConfigurationSet& configuration_set) {
  const std::string id = static_cast<const char*>(configuration_set.id);
  if (id.empty()) throw SDOPackage::InvalidParameter("the configuration set has no id");
  std::string refusal;
  const bool added =
      m_configsets.addSet(id, NVUtil::toProperties(configuration_set.configuration_data), &refusal);
  if (!refusal.empty()) throw SDOPackage::InvalidParameter(refusal.c_str());
  return added;
}

CORBA::Boolean SdoConfiguration::remove_configuration_set(const char* config_id) {
  if (config_id == nullptr) throw SDOPackage::InvalidParameter("no id");
  return m_configsets.removeSet(config_id);
}

CORBA::Boolean SdoConfiguration::activate_configuration_set(const char* config_id) {
  if (config_id == nullptr || !m_configsets.haveSet(config_id))
    throw SDOPackage::InvalidParameter("no such configuration set");
  return m_configsets.activateSet(config_id);
}

}  // namespace RTC
