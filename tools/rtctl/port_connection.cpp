#include "port_connection.h"

namespace rtctl {

namespace {
const char* const kLittleEndian = "little";
const char* const kBigEndian = "big";
}  // namespace

std::string property(const PortInfo& info, const std::string& key) {
  auto value = info.properties.find(key);
  return value == info.properties.end() ? "" : value->second;
}

void requirePortType(const FoundPort& found, const PortAddress& address,
                     const std::string& expectedPortType) {
  std::string portType = property(found.info, kPortTypeKey);
  if (portType != expectedPortType) {
    throw Failure(label(address) + " is " +
                  (portType.empty() ? "not a data port" : "a " + portType) + ", " +
                  expectedPortType + " needed");
  }
}

std::string addressOfPortName(const std::string& portName) {
  size_t dot = portName.find('.');
  if (dot == std::string::npos) return portName;
  return portName.substr(0, dot) + ":" + portName.substr(dot + 1);
}

RTC::ConnectorProfile ownConnectorProfile(const std::string& name, RTC::PortService_ptr remote,
                                          RTC::PortService_ptr own, const std::string& dataType,
                                          bool littleEndian) {
  RTC::ConnectorProfile profile;
  profile.name = name.c_str();
  profile.connector_id = "";
  profile.ports.length(2);
  profile.ports[0] = RTC::PortService::_duplicate(remote);
  profile.ports[1] = RTC::PortService::_duplicate(own);
  setStringProperty(profile.properties, kDataTypeKey, dataType);
  setStringProperty(profile.properties, "dataport.interface_type", "corba_cdr");
  setStringProperty(profile.properties, "dataport.dataflow_type", "push");
  setStringProperty(profile.properties, "dataport.subscription_type", "flush");
  setStringProperty(profile.properties, kEndianKey, littleEndian ? kLittleEndian : kBigEndian);
  return profile;
}

bool connectorIsLittleEndian(const RTC::ConnectorProfile& profile) {
  return stringProperty(profile.properties, kEndianKey).rfind(kBigEndian, 0) != 0;
}

void disconnectQuietly(RTC::PortService_ptr port, const char* connectorId) {
  try {
    port->disconnect(connectorId);
  } catch (const CORBA::Exception&) {
    // The peer went away; its side of the connection went with it.
  }
}

std::string portStatusName(int status) {
  static const char* const kNames[] = {"PORT_OK",      "PORT_ERROR",     "BUFFER_FULL",
                                       "BUFFER_EMPTY", "BUFFER_TIMEOUT", "UNKNOWN_ERROR"};
  return status >= 0 && status < 6 ? kNames[status] : "port status " + std::to_string(status);
}

}  // namespace rtctl
