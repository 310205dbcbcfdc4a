#include "provided_service.h"

#include "peer_port.h"

namespace rtctl {

namespace {

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

RequiredInterface requiredInterface(const FoundPort& consumer, const PortAddress& address,
                                    const std::string& typeSuffix) {
  requirePortType(consumer, address, kServicePort);
  std::string interfaces;
  for (const InterfaceInfo& interface : consumer.info.interfaces) {
    if (!interface.provided && endsWith(interface.typeName, typeSuffix)) {
      return {interface.instanceName, interface.typeName};
    }
    interfaces += (interfaces.empty() ? "" : ", ") +
                  std::string(interface.provided ? "provides " : "requires ") + interface.typeName;
  }
  throw Failure(label(address) + " does not require " + typeSuffix + " (" +
                (interfaces.empty() ? "no interfaces" : interfaces) + ")");
}

CORBA::Object_ptr currentProvider(Session& session, const FoundPort& consumer,
                                  const RequiredInterface& interface, std::string& providerPort) {
  const std::string portName = consumer.info.name;
  const std::string requiredKey = consumer.component.instanceName + ".port." +
                                  portName.substr(portName.find('.') + 1) + ".required." +
                                  interface.typeName + "." + interface.instanceName;
  const std::string legacyKey = "port." + interface.typeName + "." + interface.instanceName;
  for (const ConnectorInfo& connector : consumer.info.connectors) {
    auto named = connector.properties.find(requiredKey);
    auto ior = named != connector.properties.end() ? connector.properties.find(named->second)
                                                   : connector.properties.end();
    if (ior == connector.properties.end()) ior = connector.properties.find(legacyKey);
    if (ior == connector.properties.end() || ior->second.rfind("IOR:", 0) != 0) continue;
    for (const std::string& name : connector.portNames) {
      if (name != portName) providerPort = addressOfPortName(name);
    }
    return session.orb()->string_to_object(ior->second.c_str());
  }
  throw Failure(addressOfPortName(portName) + " is not connected to a provider of " +
                interface.typeName);
}

ProvidedService::ProvidedService(Session& session, FoundPort consumer, const PortAddress& address,
                                 const std::string& purpose, const RequiredInterface& interface,
                                 CORBA::Object_ptr provider, bool standIn)
    : session_(session), consumer_(std::move(consumer)), label_(label(address)) {
  const std::string name = "rtctl." + purpose;
  CORBA::String_var ior = session.orb()->object_to_string(provider);
  auto* servant =
      new PeerPort(name, kServicePort,
                   {{"port." + interface.typeName + "." + interface.instanceName, ior.in()}});
  servant->addInterface(interface.instanceName, interface.typeName, true);
  RTC::PortService_var own = activateServant<RTC::PortService>(session, servant);
  const std::string what = purpose + " " + label_;
  try {
    RTC::ConnectorProfileList_var existing =
        standIn ? consumer_.port->get_connector_profiles() : new RTC::ConnectorProfileList;
    RTC::ConnectorProfile profile;
    profile.name = name.c_str();
    profile.connector_id = "";
    profile.ports.length(2);
    profile.ports[0] = RTC::PortService::_duplicate(consumer_.port);
    profile.ports[1] = RTC::PortService::_duplicate(own);
    checkReturn(what + ": connect", consumer_.port->connect(profile));
    connectorId_ = profile.connector_id.in();
    for (CORBA::ULong i = 0; i < existing->length(); ++i) {
      checkReturn(what + ": disconnect " + std::string(existing[i].name.in()),
                  consumer_.port->disconnect(existing[i].connector_id));
      removed_.length(removed_.length() + 1);
      removed_[removed_.length() - 1] = existing[i];
    }
  } catch (const CORBA::Exception& error) {
    restore();
    throw Failure(Session::explain(what, error));
  } catch (const Failure&) {
    restore();
    throw;
  }
}

ProvidedService::~ProvidedService() { restore(); }

std::vector<std::string> ProvidedService::restore() {
  std::vector<std::string> failures;
  const CORBA::ULong count = removed_.length();
  for (CORBA::ULong i = 0; i < count; ++i) {
    RTC::ConnectorProfile profile = removed_[i];
    const std::string name = profile.name.in();
    profile.connector_id = "";
    try {
      RTC::ReturnCode_t code = consumer_.port->connect(profile);
      if (code != RTC::RTC_OK) {
        failures.push_back("could not connect " + label_ + " again (" + name +
                           "): " + returnCodeName(code));
      }
    } catch (const CORBA::Exception& error) {
      failures.push_back(
          Session::explain("could not connect " + label_ + " again (" + name + ")", error));
    }
  }
  removed_.length(0);
  if (!connectorId_.empty()) {
    disconnectQuietly(consumer_.port, connectorId_.c_str());
    connectorId_.clear();
  }
  return failures;
}

}  // namespace rtctl
