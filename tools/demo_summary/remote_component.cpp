#include "remote_component.h"

#include <tools/rtctl/component_names.h>
#include <tools/rtctl/naming_tree.h>
#include <SDOPackage.hh>

namespace demo_summary {
namespace {

std::string valueText(const CORBA::Any& value) {
  const char* text = nullptr;
  if (value >>= text) return text;
  CORBA::Double number = 0;
  if (value >>= number) return std::to_string(number);
  CORBA::Long integer = 0;
  if (value >>= integer) return std::to_string(integer);
  return "";
}

}  // namespace

std::string describe(const CORBA::Exception& error) {
  const char* name = error._name();
  const auto* system = CORBA::SystemException::_downcast(&error);
  if (system) {
    return std::string("CORBA ") + name + " (minor " + std::to_string(system->minor()) + ")";
  }
  return std::string("CORBA ") + name;
}

Remote<RTC::RTObject_var> findComponent(CORBA::ORB_ptr orb, const std::string& nameServer,
                                        const std::string& instanceName) {
  Remote<RTC::RTObject_var> result;
  try {
    CosNaming::NamingContextExt_var root =
        name_service::rootContext(orb, nameServer, kRemoteCallTimeout_ms);
    if (CORBA::is_nil(root)) {
      result.error = "bad name server address " + nameServer;
      return result;
    }
    const std::vector<std::string> matches = rtctl::matchComponentName(
        name_service::listBindings(root, kRemoteCallTimeout_ms).paths, instanceName);
    if (matches.empty()) {
      result.error = instanceName + " is not in the name server at " + nameServer;
      return result;
    }
    CORBA::Object_var found = root->resolve_str(matches.front().c_str());
    omniORB::setClientCallTimeout(found, kRemoteCallTimeout_ms);
    result.value = RTC::RTObject::_narrow(found);
    if (CORBA::is_nil(result.value)) result.error = instanceName + " is not a component";
  } catch (const CORBA::Exception& error) {
    result.error = "looking up " + instanceName + ": " + describe(error);
  }
  return result;
}

Remote<std::map<std::string, std::string>> activeConfiguration(RTC::RTObject_ptr component) {
  Remote<std::map<std::string, std::string>> result;
  try {
    SDOPackage::Configuration_var configuration = component->get_configuration();
    omniORB::setClientCallTimeout(configuration, kRemoteCallTimeout_ms);
    SDOPackage::ConfigurationSet_var set = configuration->get_active_configuration_set();
    for (CORBA::ULong i = 0; i < set->configuration_data.length(); ++i) {
      const SDOPackage::NameValue& entry = set->configuration_data[i];
      result.value[entry.name.in()] = valueText(entry.value);
    }
  } catch (const CORBA::Exception& error) {
    result.error = "reading the configuration: " + describe(error);
  }
  return result;
}

Remote<CORBA::Object_var> providedService(CORBA::ORB_ptr orb, RTC::RTObject_ptr component,
                                          const std::string& portName, const std::string& typeName,
                                          const std::string& instanceName) {
  Remote<CORBA::Object_var> result;
  try {
    RTC::PortServiceList_var ports = component->get_ports();
    RTC::PortService_var port;
    for (CORBA::ULong i = 0; i < ports->length() && CORBA::is_nil(port); ++i) {
      omniORB::setClientCallTimeout(ports[i], kRemoteCallTimeout_ms);
      RTC::PortProfile_var profile = ports[i]->get_port_profile();
      const std::string name = profile->name.in();
      const std::size_t dot = name.rfind('.');
      if ((dot == std::string::npos ? name : name.substr(dot + 1)) == portName) {
        port = RTC::PortService::_duplicate(ports[i]);
      }
    }
    if (CORBA::is_nil(port)) {
      result.error = "no port " + portName;
      return result;
    }
    RTC::ConnectorProfile connector;
    connector.name = CORBA::string_dup("demo_summary");
    connector.connector_id = CORBA::string_dup("");
    connector.ports.length(1);
    connector.ports[0] = RTC::PortService::_duplicate(port);
    if (port->connect(connector) != RTC::RTC_OK) {
      result.error = "port " + portName + " refused the connection";
      return result;
    }
    const std::string key = "port." + typeName + "." + instanceName;
    std::string ior;
    for (CORBA::ULong i = 0; i < connector.properties.length(); ++i) {
      const char* text = nullptr;
      if (key == connector.properties[i].name.in() && (connector.properties[i].value >>= text)) {
        ior = text;
      }
    }
    port->disconnect(connector.connector_id);
    if (ior.rfind("IOR:", 0) != 0) {
      result.error = "port " + portName + " does not provide " + typeName + " " + instanceName;
      return result;
    }
    result.value = orb->string_to_object(ior.c_str());
    omniORB::setClientCallTimeout(result.value, kRemoteCallTimeout_ms);
  } catch (const CORBA::Exception& error) {
    result.error = "asking port " + portName + ": " + describe(error);
  }
  return result;
}

}  // namespace demo_summary
