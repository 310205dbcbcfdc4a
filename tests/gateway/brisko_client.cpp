#include "brisko_client.h"

#include <omniORB4/CORBA.h>
#include <omniORB4/Naming.hh>

namespace {

constexpr const char* kProviderKey = "port.BriskoRTC::BriskoService.BriskoSvcIF";
constexpr const char* kPortSuffix = ".BriskoService";

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

RTC::RTObject_ptr resolveComponent(CORBA::ORB_ptr orb, const std::string& nameServiceCorbaloc,
                                   const std::string& instanceName) {
  try {
    CORBA::Object_var object = orb->string_to_object(nameServiceCorbaloc.c_str());
    CosNaming::NamingContextExt_var naming = CosNaming::NamingContextExt::_narrow(object);
    if (CORBA::is_nil(naming)) return RTC::RTObject::_nil();
    CORBA::Object_var component = naming->resolve_str((instanceName + ".rtc").c_str());
    return RTC::RTObject::_narrow(component);
  } catch (const CORBA::Exception&) {
    return RTC::RTObject::_nil();
  }
}

BriskoRTC::BriskoService_ptr connectToBriskoService(CORBA::ORB_ptr orb,
                                                    const std::string& nameServiceCorbaloc,
                                                    const std::string& instanceName) {
  try {
    RTC::RTObject_var component = resolveComponent(orb, nameServiceCorbaloc, instanceName);
    if (CORBA::is_nil(component)) return BriskoRTC::BriskoService::_nil();
    RTC::PortServiceList_var ports = component->get_ports();
    for (CORBA::ULong i = 0; i < ports->length(); ++i) {
      RTC::PortProfile_var profile = ports[i]->get_port_profile();
      if (!endsWith(profile->name.in(), kPortSuffix)) continue;
      RTC::ConnectorProfile connector;
      connector.name = "brisko_client";
      connector.connector_id = "";
      connector.ports.length(1);
      connector.ports[0] = RTC::PortService::_duplicate(ports[i]);
      if (ports[i]->connect(connector) != RTC::RTC_OK) break;
      for (CORBA::ULong p = 0; p < connector.properties.length(); ++p) {
        const char* ior = nullptr;
        if (std::string(kProviderKey) == connector.properties[p].name.in() &&
            (connector.properties[p].value >>= ior)) {
          CORBA::Object_var service = orb->string_to_object(ior);
          return BriskoRTC::BriskoService::_narrow(service);
        }
      }
    }
  } catch (const CORBA::Exception&) {
  }
  return BriskoRTC::BriskoService::_nil();
}
