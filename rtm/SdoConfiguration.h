// The SDO Configuration interface of a component: configuration tools read and change its
// configuration sets here; changes reach the bound members on the execution context's
// thread (see ConfigAdmin).
#pragma once

#include <rtm/ConfigAdmin.h>
#include <rtm/RTC.h>

namespace RTC {

class SdoConfiguration : public virtual POA_SDOPackage::Configuration {
 public:
  explicit SdoConfiguration(ConfigAdmin& configsets) : m_configsets(configsets) {}

  void activateObject();
  void deactivateObject();
  SDOPackage::Configuration_ptr getObjRef() const {
    return SDOPackage::Configuration::_duplicate(m_objref);
  }

  CORBA::Boolean set_device_profile(const SDOPackage::DeviceProfile& dProfile) override;
  CORBA::Boolean add_service_profile(const SDOPackage::ServiceProfile& sProfile) override;
  CORBA::Boolean add_organization(SDOPackage::Organization_ptr organization_object) override;
  CORBA::Boolean remove_service_profile(const char* id) override;
  CORBA::Boolean remove_organization(const char* organization_id) override;
  SDOPackage::ParameterList* get_configuration_parameters() override;
  SDOPackage::NVList* get_configuration_parameter_values() override;
  CORBA::Any* get_configuration_parameter_value(const char* name) override;
  CORBA::Boolean set_configuration_parameter(const char* name, const CORBA::Any& value) override;
  SDOPackage::ConfigurationSetList* get_configuration_sets() override;
  SDOPackage::ConfigurationSet* get_configuration_set(const char* config_id) override;
  CORBA::Boolean set_configuration_set_values(
      const SDOPackage::ConfigurationSet& configuration_set) override;
  SDOPackage::ConfigurationSet* get_active_configuration_set() override;
  CORBA::Boolean add_configuration_set(
      const SDOPackage::ConfigurationSet& configuration_set) override;
  CORBA::Boolean remove_configuration_set(const char* config_id) override;
  CORBA::Boolean activate_configuration_set(const char* config_id) override;

 private:
  SDOPackage::ConfigurationSet* toConfigurationSet(const std::string& id) const;

  ConfigAdmin& m_configsets;
  SDOPackage::Configuration_var m_objref;
  PortableServer::ObjectId_var m_objectId;
};

}  // namespace RTC
