#pragma once
// Connecting ports of rtctl's own to a component's port: the pieces that print, inject, wait,
// hz, record and replay share.
#include <RTC.hh>

#include <string>

#include "component_control.h"

namespace rtctl {

inline constexpr const char* kDataTypeKey = "dataport.data_type";
inline constexpr const char* kPortTypeKey = "port.port_type";
inline constexpr const char* kEndianKey = "dataport.serializer.cdr.endian";
inline constexpr const char* kInPortIorKey = "dataport.corba_cdr.inport_ior";
inline constexpr const char* kInPortRefKey = "dataport.corba_cdr.inport_ref";
inline constexpr const char* kDataInPort = "DataInPort";
inline constexpr const char* kDataOutPort = "DataOutPort";
inline constexpr const char* kServicePort = "CorbaPort";

// The value of a property of the port's profile, or "".
std::string property(const PortInfo& info, const std::string& key);

// Throws unless the port is of that kind ("DataOutPort", ...): "Torvane0:robot_pose is a
// DataInPort, DataOutPort needed".
void requirePortType(const FoundPort& found, const PortAddress& address,
                     const std::string& expectedPortType);

// "Torvane0.robot_pose" (a port profile's name) → "Torvane0:robot_pose".
std::string addressOfPortName(const std::string& portName);

// A data connector profile between a component's port and one of rtctl's own: push over
// corba_cdr, flush, the given data type and byte order.
RTC::ConnectorProfile ownConnectorProfile(const std::string& name, RTC::PortService_ptr remote,
                                          RTC::PortService_ptr own, const std::string& dataType,
                                          bool littleEndian = true);

// True unless the connector's agreed byte order begins with "big".
bool connectorIsLittleEndian(const RTC::ConnectorProfile& profile);

void disconnectQuietly(RTC::PortService_ptr port, const char* connectorId);

// Activates a servant in the root POA and hands its ownership to the POA, which keeps it
// until the session's ORB is destroyed.
template <class Interface>
typename Interface::_ptr_type activateServant(Session& session,
                                              PortableServer::ServantBase* servant) {
  PortableServer::ObjectId_var id = session.activePoa()->activate_object(servant);
  CORBA::Object_var object = session.activePoa()->id_to_reference(id);
  servant->_remove_ref();
  return Interface::_narrow(object);
}

// "PORT_OK", "BUFFER_FULL", ...
std::string portStatusName(int status);

}  // namespace rtctl
