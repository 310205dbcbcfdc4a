#include "string_ports.h"

#include <chrono>

#include "string_samples.h"

namespace rtctl {

namespace {

const char* const kInPortIorKey = "dataport.corba_cdr.inport_ior";
const char* const kInPortRefKey = "dataport.corba_cdr.inport_ref";
const char* const kEndianKey = "dataport.serializer.cdr.endian";
const char* const kDataTypeKey = "dataport.data_type";
const char* const kPortTypeKey = "port.port_type";
const char* const kLittleEndian = "little";

std::string property(const PortInfo& info, const std::string& key) {
  auto value = info.properties.find(key);
  return value == info.properties.end() ? "" : value->second;
}

// The string type a data port of the expected kind carries; throws for any other port.
StringSampleType stringPortType(const FoundPort& found, const PortAddress& address,
                                const std::string& expectedPortType) {
  std::string portType = property(found.info, kPortTypeKey);
  if (portType != expectedPortType) {
    throw Failure(label(address) + " is " +
                  (portType.empty() ? "not a data port" : "a " + portType) + ", " +
                  expectedPortType + " needed");
  }
  std::string dataType = property(found.info, kDataTypeKey);
  auto type = stringSampleTypeOf(dataType);
  if (!type) {
    throw Failure(label(address) + " carries " + (dataType.empty() ? "no data type" : dataType) +
                  ", not TimedString or TimedStringSeq");
  }
  return *type;
}

// A connector profile between a component's port and one of rtctl's own.
RTC::ConnectorProfile ownConnectorProfile(const std::string& name, RTC::PortService_ptr remote,
                                          RTC::PortService_ptr own, const std::string& dataType) {
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
  setStringProperty(profile.properties, kEndianKey, kLittleEndian);
  return profile;
}

void disconnectQuietly(RTC::PortService_ptr port, const char* connectorId) {
  try {
    port->disconnect(connectorId);
  } catch (const CORBA::Exception&) {
    // The peer went away; its side of the connection went with it.
  }
}

// Activates a servant in the root POA and hands its ownership to the POA, which keeps it
// until the session's ORB is destroyed.
template <class Interface>
typename Interface::_ptr_type activate(Session& session, PortableServer::ServantBase* servant) {
  PortableServer::ObjectId_var id = session.activePoa()->activate_object(servant);
  CORBA::Object_var object = session.activePoa()->id_to_reference(id);
  servant->_remove_ref();
  return Interface::_narrow(object);
}

}  // namespace

StringListener::StringListener(Session& session, const PortAddress& address,
                               const std::string& verb)
    : source_(findPort(session, address)) {
  StringSampleType type = stringPortType(source_, address, "DataOutPort");
  sink_ = new StringSink(type, true);
  OpenRTM::InPortCdr_var sinkRef = activate<OpenRTM::InPortCdr>(session, sink_);
  CORBA::String_var ior = session.orb()->object_to_string(sinkRef);
  std::string ownName = "rtctl." + verb;
  auto* ownServant = new PeerPort(ownName, "DataInPort", {{kInPortIorKey, ior.in()}});
  ownServant->publishObject(kInPortRefKey, sinkRef);
  RTC::PortService_var own = activate<RTC::PortService>(session, ownServant);
  RTC::ConnectorProfile profile =
      ownConnectorProfile(ownName, source_.port, own, property(source_.info, kDataTypeKey));
  std::string what = verb + " " + label(address);
  try {
    checkReturn(what + ": connect", source_.port->connect(profile));
  } catch (const CORBA::Exception& error) {
    throw Failure(Session::explain(what, error));
  }
  connectorId_ = profile.connector_id.in();
}

StringListener::~StringListener() { disconnectQuietly(source_.port, connectorId_.c_str()); }

std::optional<std::vector<std::string>> StringListener::next(double timeout_s) {
  return sink_->next(timeout_s);
}

std::string sampleText(const std::vector<std::string>& strings) {
  std::string line;
  for (size_t i = 0; i < strings.size(); ++i) line += (i ? "\t" : "") + strings[i];
  return line;
}

void writeString(Session& session, const PortAddress& address, const std::string& text) {
  FoundPort target = findPort(session, address);
  StringSampleType type = stringPortType(target, address, "DataInPort");
  RTC::PortService_var own =
      activate<RTC::PortService>(session, new PeerPort("rtctl.inject", "DataOutPort", {}));
  RTC::ConnectorProfile profile =
      ownConnectorProfile("rtctl.inject", target.port, own, property(target.info, kDataTypeKey));
  std::string what = "inject " + label(address);
  OpenRTM::PortStatus status = OpenRTM::PORT_OK;
  try {
    checkReturn(what + ": connect", target.port->connect(profile));
    OpenRTM::InPortCdr_var inPort;
    std::string ior = stringProperty(profile.properties, kInPortIorKey);
    if (!ior.empty()) {
      CORBA::Object_var object = session.orb()->string_to_object(ior.c_str());
      inPort = OpenRTM::InPortCdr::_narrow(object);
    }
    for (CORBA::ULong i = 0; CORBA::is_nil(inPort) && i < profile.properties.length(); ++i) {
      CORBA::Object_var object;
      if (std::string(kInPortRefKey) == profile.properties[i].name.in() &&
          (profile.properties[i].value >>= CORBA::Any::to_object(object.out()))) {
        inPort = OpenRTM::InPortCdr::_narrow(object);
      }
    }
    if (CORBA::is_nil(inPort)) {
      disconnectQuietly(target.port, profile.connector_id);
      throw Failure(what + ": the in-port published no corba_cdr interface");
    }
    auto now = std::chrono::system_clock::now().time_since_epoch();
    auto sec = std::chrono::duration_cast<std::chrono::seconds>(now);
    auto nsec = std::chrono::duration_cast<std::chrono::nanoseconds>(now - sec);
    status = inPort->put(encodeStringSample(type, text, static_cast<unsigned long>(sec.count()),
                                            static_cast<unsigned long>(nsec.count())));
  } catch (const Failure&) {
    throw;
  } catch (const CORBA::Exception& error) {
    disconnectQuietly(target.port, profile.connector_id);
    throw Failure(Session::explain(what, error));
  }
  disconnectQuietly(target.port, profile.connector_id);
  if (status != OpenRTM::PORT_OK) {
    static const char* const kStatusNames[] = {"PORT_OK",      "PORT_ERROR",     "BUFFER_FULL",
                                               "BUFFER_EMPTY", "BUFFER_TIMEOUT", "UNKNOWN_ERROR"};
    int index = static_cast<int>(status);
    throw Failure(what + ": the in-port answered " +
                  (index >= 0 && index < 6 ? kStatusNames[index] : std::to_string(index)));
  }
}

}  // namespace rtctl
