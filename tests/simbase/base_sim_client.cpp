#include "base_sim_client.h"

#include <Pexa.hh>
#include <RTC.hh>
#include <omniORB4/Naming.hh>

#include <cstring>

namespace simbase_test {
namespace {

constexpr unsigned kCallTimeout_ms = 10000;

// The process's ORB (one per process, shared with the test support's name-server client, so
// it is never destroyed here), loopback only, every call time-limited.
CORBA::ORB_ptr clientOrb() {
  static CORBA::ORB_ptr orb = [] {
    int argc = 3;
    const char* argv[] = {"base_sim_client", "-ORBendPoint", "giop:tcp:127.0.0.1:"};
    CORBA::ORB_ptr made = CORBA::ORB_init(argc, const_cast<char**>(argv));
    omniORB::setClientCallTimeout(kCallTimeout_ms);
    return made;
  }();
  return orb;
}

std::string stringProperty(const SDOPackage::NVList& list, const std::string& key) {
  for (CORBA::ULong i = 0; i < list.length(); ++i) {
    const char* value = nullptr;
    if (key == list[i].name.in() && (list[i].value >>= value)) return value;
  }
  return "";
}

void addProperty(SDOPackage::NVList& list, const char* key, const char* value) {
  const CORBA::ULong index = list.length();
  list.length(index + 1);
  list[index].name = key;
  list[index].value <<= value;
}

// Connects a port of the component on its own and returns what it published under `key`:
// a service port its provider's reference, an in-port its CDR receiver's.
CORBA::Object_ptr publishedObject(RTC::RTObject_ptr component, const std::string& portName,
                                  const char* key, bool dataPort) {
  RTC::PortServiceList_var ports = component->get_ports();
  for (CORBA::ULong i = 0; i < ports->length(); ++i) {
    RTC::PortProfile_var profile = ports[i]->get_port_profile();
    if (portName != profile->name.in()) continue;
    RTC::ConnectorProfile connector;
    connector.name = "base_sim_client";
    connector.connector_id = "";
    connector.ports.length(1);
    connector.ports[0] = RTC::PortService::_duplicate(ports[i]);
    if (dataPort) {
      addProperty(connector.properties, "dataport.interface_type", "corba_cdr");
      addProperty(connector.properties, "dataport.dataflow_type", "push");
      addProperty(connector.properties, "dataport.subscription_type", "flush");
    }
    if (ports[i]->connect(connector) != RTC::RTC_OK) return CORBA::Object::_nil();
    const std::string ior = stringProperty(connector.properties, key);
    if (ior.empty()) return CORBA::Object::_nil();
    return clientOrb()->string_to_object(ior.c_str());
  }
  return CORBA::Object::_nil();
}

}  // namespace

BaseSimClient::BaseSimClient(test_support::NameServer& names, const std::string& instance) {
  const std::string bindingName = instance + ".rtc";
  std::string path;
  for (const std::string& binding : names.listBindings())
    if (binding.size() >= bindingName.size() &&
        binding.compare(binding.size() - bindingName.size(), bindingName.size(), bindingName) == 0)
      path = binding;
  if (path.empty()) return;
  try {
    CORBA::Object_var namingObject = clientOrb()->string_to_object(names.corbaloc().c_str());
    CosNaming::NamingContextExt_var naming = CosNaming::NamingContextExt::_narrow(namingObject);
    CORBA::Object_var componentObject = naming->resolve_str(path.c_str());
    RTC::RTObject_var component = RTC::RTObject::_narrow(componentObject);
    if (CORBA::is_nil(component)) return;
    CORBA::Object_var mapObject =
        publishedObject(component, instance + ".RelativeMapService",
                        "port.Zemla::RelativeMapService.RelativeMapService", false);
    map = Zemla::RelativeMapService::_narrow(mapObject);
    CORBA::Object_var statusObject =
        publishedObject(component, instance + ".BaseStatusService",
                        "port.SimBase::BaseStatusService.BaseStatusService", false);
    status = SimBase::BaseStatusService::_narrow(statusObject);
    CORBA::Object_var commandObject = publishedObject(component, instance + ".robot_control",
                                                      "dataport.corba_cdr.inport_ior", true);
    command = OpenRTM::InPortCdr::_narrow(commandObject);
  } catch (const CORBA::Exception&) {
    // Whatever was not reached stays nil; ok() says so.
  }
}

bool BaseSimClient::ok() const {
  return !CORBA::is_nil(map) && !CORBA::is_nil(status) && !CORBA::is_nil(command);
}

OpenRTM::CdrData encodeVelocityCommand(double vx_mps, double va_radps) {
  Pexa::TimedVelocity2D command;
  command.tm.sec = 0;
  command.tm.nsec = 0;
  command.data.vx = vx_mps;
  command.data.vy = 0.0;
  command.data.va = va_radps;
  cdrMemoryStream stream;
  command >>= stream;
  OpenRTM::CdrData octets;
  octets.length(static_cast<CORBA::ULong>(stream.bufSize()));
  std::memcpy(octets.get_buffer(), stream.bufPtr(), stream.bufSize());
  return octets;
}

}  // namespace simbase_test
