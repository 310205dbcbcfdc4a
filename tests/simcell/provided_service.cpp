#include "provided_service.h"

#include <RTC.hh>
#include <omniORB4/Naming.hh>

namespace hirosim::testing {

CORBA::Object_ptr providedService(CORBA::ORB_ptr orb, const std::string& nameServerCorbaloc,
                                  const std::string& componentPath, const std::string& portName,
                                  const std::string& typeName, const std::string& instanceName) {
  CORBA::Object_var root = orb->string_to_object(nameServerCorbaloc.c_str());
  CosNaming::NamingContextExt_var names = CosNaming::NamingContextExt::_narrow(root);
  CORBA::Object_var object = names->resolve_str(componentPath.c_str());
  RTC::RTObject_var component = RTC::RTObject::_narrow(object);
  RTC::PortServiceList_var ports = component->get_ports();
  for (CORBA::ULong i = 0; i < ports->length(); ++i) {
    RTC::PortProfile_var profile = ports[i]->get_port_profile();
    const std::string name = profile->name.in();  // "<instance>.<port>"
    const std::string suffix = "." + portName;
    if (name.size() < suffix.size() ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
      continue;
    }
    RTC::ConnectorProfile connector;
    connector.name = "probe";
    connector.connector_id = "";
    connector.ports.length(1);
    connector.ports[0] = RTC::PortService::_duplicate(ports[i]);
    if (ports[i]->connect(connector) != RTC::RTC_OK) return CORBA::Object::_nil();
    const std::string key = "port." + typeName + "." + instanceName;
    CORBA::Object_ptr found = CORBA::Object::_nil();
    for (CORBA::ULong k = 0; k < connector.properties.length(); ++k) {
      const char* ior = nullptr;
      if (key == connector.properties[k].name.in() && (connector.properties[k].value >>= ior)) {
        found = orb->string_to_object(ior);
      }
    }
    ports[i]->disconnect(connector.connector_id);
    return found;
  }
  return CORBA::Object::_nil();
}

}  // namespace hirosim::testing
