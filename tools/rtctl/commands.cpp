#include "commands.h"

#include <chrono>
#include <ctime>
#include <iostream>

#include "peer_port.h"
#include "session.h"
#include "string_samples.h"

namespace rtctl {

std::atomic<bool> stopRequested{false};

namespace {

const char* const kInPortIorKey = "dataport.corba_cdr.inport_ior";
const char* const kInPortRefKey = "dataport.corba_cdr.inport_ref";
const char* const kEndianKey = "dataport.serializer.cdr.endian";
const char* const kDataTypeKey = "dataport.data_type";
const char* const kPortTypeKey = "port.port_type";
const char* const kLittleEndian = "little";
// How often print looks at the stop flag while no sample arrives.
constexpr double kStopPoll_s = 0.1;

std::string label(const PortAddress& address) { return address.component + ":" + address.port; }

void checkReturn(const std::string& what, RTC::ReturnCode_t code) {
  if (code != RTC::RTC_OK) throw Failure(what + " failed: " + returnCodeName(code));
}

// A port of a component found by its address, with a plain copy of its profile.
struct FoundPort {
  Component component;
  RTC::PortService_var port;
  PortInfo info;
};

FoundPort findPort(Session& session, const PortAddress& address) {
  FoundPort found;
  found.component = session.findComponent(address.component);
  found.port = session.findPort(found.component, address.port);
  found.info = session.describePort(found.port, label(address));
  return found;
}

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

int listComponents(Session& session) {
  std::vector<ListEntry> entries;
  for (const auto& path : session.componentPaths()) entries.push_back(session.listEntry(path));
  std::cout << formatListing(entries);
  return 0;
}

int changeState(Session& session, const Invocation& invocation) {
  for (const auto& name : invocation.components) {
    Component component = session.findComponent(name);
    RTC::ExecutionContext_var context = session.firstContext(component);
    const char* verb = "";
    try {
      RTC::ReturnCode_t code = RTC::RTC_OK;
      if (invocation.verb == Verb::Activate) {
        verb = "activate";
        code = context->activate_component(component.object);
      } else if (invocation.verb == Verb::Deactivate) {
        verb = "deactivate";
        code = context->deactivate_component(component.object);
      } else {
        verb = "reset";
        code = context->reset_component(component.object);
      }
      checkReturn(std::string(verb) + " " + component.instanceName, code);
    } catch (const CORBA::Exception& error) {
      throw Failure(Session::explain(std::string(verb) + " " + component.instanceName, error));
    }
    std::cout << component.instanceName << ": " << verb << " done\n";
  }
  return 0;
}

int exitComponents(Session& session, const Invocation& invocation) {
  for (const auto& name : invocation.components) {
    Component component = session.findComponent(name);
    try {
      checkReturn("exit " + component.instanceName, component.object->exit());
    } catch (const CORBA::COMM_FAILURE&) {
      // The process ended before its answer reached us: that is what was asked for.
    } catch (const CORBA::Exception& error) {
      throw Failure(Session::explain("exit " + component.instanceName, error));
    }
    std::cout << component.instanceName << ": exit requested\n";
  }
  return 0;
}

int configuration(Session& session, const Invocation& invocation) {
  Component component = session.findComponent(invocation.components[0]);
  const std::string& name = component.instanceName;
  try {
    SDOPackage::Configuration_var configuration = component.object->get_configuration();
    if (CORBA::is_nil(configuration)) throw Failure(name + " has no configuration interface");
    SDOPackage::ConfigurationSet_var active = configuration->get_active_configuration_set();
    if (!invocation.confSet) {
      ConfigurationSetInfo set{active->id.in(), {}};
      for (CORBA::ULong i = 0; i < active->configuration_data.length(); ++i) {
        const char* value = nullptr;
        const auto& entry = active->configuration_data[i];
        set.values.emplace_back(entry.name.in(), (entry.value >>= value) ? value : "<binary>");
      }
      std::cout << formatConfigurationSet(name, set);
      return 0;
    }
    const auto& [key, value] = *invocation.confSet;
    bool known = false;
    for (CORBA::ULong i = 0; i < active->configuration_data.length(); ++i) {
      known = known || key == active->configuration_data[i].name.in();
    }
    if (!known) {
      throw Failure(name + " has no configuration parameter \"" + key + "\" in set \"" +
                    active->id.in() + "\"");
    }
    setStringProperty(active->configuration_data, key, value);
    if (!configuration->set_configuration_set_values(active.in())) {
      throw Failure(name + " refused " + key + " = " + value);
    }
    if (!configuration->activate_configuration_set(active->id.in())) {
      throw Failure(name + " did not activate configuration set \"" + std::string(active->id.in()) +
                    "\"");
    }
    std::cout << name << " " << active->id.in() << "." << key << " = " << value << "\n";
    return 0;
  } catch (const SDOPackage::InvalidParameter& error) {
    throw Failure(name + ": invalid parameter: " + error.description.in());
  } catch (const SDOPackage::NotAvailable& error) {
    throw Failure(name + ": configuration not available: " + error.description.in());
  } catch (const SDOPackage::InternalError& error) {
    throw Failure(name + ": internal error: " + error.description.in());
  } catch (const CORBA::Exception& error) {
    throw Failure(Session::explain("configuration of " + name, error));
  }
}

int connectPorts(Session& session, const Invocation& invocation) {
  FoundPort first = findPort(session, invocation.ports[0]);
  FoundPort second = findPort(session, invocation.ports[1]);
  ConnectionPlan plan =
      planConnection({first.info.name, first.info.properties},
                     {second.info.name, second.info.properties}, invocation.properties);
  if (!plan.error.empty()) throw Failure(plan.error);
  RTC::ConnectorProfile profile;
  profile.name = (first.info.name + "_" + second.info.name).c_str();
  profile.connector_id = "";
  profile.ports.length(2);
  profile.ports[0] = RTC::PortService::_duplicate(first.port);
  profile.ports[1] = RTC::PortService::_duplicate(second.port);
  for (const auto& [key, value] : plan.connectorProperties) {
    setStringProperty(profile.properties, key, value);
  }
  std::string what = "connect " + label(invocation.ports[0]) + " " + label(invocation.ports[1]);
  try {
    checkReturn(what, first.port->connect(profile));
  } catch (const CORBA::Exception& error) {
    throw Failure(Session::explain(what, error));
  }
  std::cout << "connected " << first.info.name << " - " << second.info.name << " (id "
            << profile.connector_id.in() << ")\n";
  return 0;
}

int disconnectPorts(Session& session, const Invocation& invocation) {
  FoundPort first = findPort(session, invocation.ports[0]);
  FoundPort second = findPort(session, invocation.ports[1]);
  std::string what = "disconnect " + label(invocation.ports[0]) + " " + label(invocation.ports[1]);
  int removed = 0;
  try {
    RTC::ConnectorProfileList_var connectors = first.port->get_connector_profiles();
    for (CORBA::ULong i = 0; i < connectors->length(); ++i) {
      bool joinsSecond = false;
      for (CORBA::ULong p = 0; p < connectors[i].ports.length(); ++p) {
        joinsSecond = joinsSecond || connectors[i].ports[p]->_is_equivalent(second.port);
      }
      if (!joinsSecond) continue;
      checkReturn(what, first.port->disconnect(connectors[i].connector_id));
      ++removed;
    }
  } catch (const CORBA::Exception& error) {
    throw Failure(Session::explain(what, error));
  }
  if (removed == 0) throw Failure(what + ": they are not connected");
  std::cout << "disconnected " << first.info.name << " - " << second.info.name << "\n";
  return 0;
}

int injectSample(Session& session, const Invocation& invocation) {
  const PortAddress& address = invocation.ports[0];
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
    status = inPort->put(encodeStringSample(type, invocation.text,
                                            static_cast<unsigned long>(sec.count()),
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
  return 0;
}

int printSamples(Session& session, const Invocation& invocation) {
  const PortAddress& address = invocation.ports[0];
  FoundPort source = findPort(session, address);
  StringSampleType type = stringPortType(source, address, "DataOutPort");
  auto* sink = new StringSink(type, true);
  OpenRTM::InPortCdr_var sinkRef = activate<OpenRTM::InPortCdr>(session, sink);
  CORBA::String_var ior = session.orb()->object_to_string(sinkRef);
  auto* ownServant = new PeerPort("rtctl.print", "DataInPort", {{kInPortIorKey, ior.in()}});
  ownServant->publishObject(kInPortRefKey, sinkRef);
  RTC::PortService_var own = activate<RTC::PortService>(session, ownServant);
  RTC::ConnectorProfile profile =
      ownConnectorProfile("rtctl.print", source.port, own, property(source.info, kDataTypeKey));
  std::string what = "print " + label(address);
  try {
    checkReturn(what + ": connect", source.port->connect(profile));
  } catch (const CORBA::Exception& error) {
    throw Failure(Session::explain(what, error));
  }
  int printed = 0;
  auto deadline = std::chrono::steady_clock::now() +
                  std::chrono::duration<double>(invocation.timeout_s.value_or(0));
  while (!stopRequested && (!invocation.count || printed < *invocation.count)) {
    double wait_s = kStopPoll_s;
    if (invocation.timeout_s) {
      double left_s =
          std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
      if (left_s <= 0) break;
      wait_s = std::min(wait_s, left_s);
    }
    auto sample = sink->next(wait_s);
    if (!sample) continue;
    std::string line;
    for (size_t i = 0; i < sample->size(); ++i) line += (i ? "\t" : "") + (*sample)[i];
    std::cout << line << std::endl;
    ++printed;
  }
  disconnectQuietly(source.port, profile.connector_id);
  if (invocation.count && printed < *invocation.count && !stopRequested) {
    throw Failure(what + ": " + std::to_string(printed) + " of " +
                  std::to_string(*invocation.count) + " samples arrived within " +
                  std::to_string(*invocation.timeout_s) + " s");
  }
  return 0;
}

}  // namespace

int runInvocation(const Invocation& invocation) {
  Session session(invocation.nameServer);
  switch (invocation.verb) {
    case Verb::Ls:
      return listComponents(session);
    case Verb::Cat: {
      Component component = session.findComponent(invocation.components[0]);
      std::cout << formatComponent(session.describe(component));
      return 0;
    }
    case Verb::Connect:
      return connectPorts(session, invocation);
    case Verb::Disconnect:
      return disconnectPorts(session, invocation);
    case Verb::Activate:
    case Verb::Deactivate:
    case Verb::Reset:
      return changeState(session, invocation);
    case Verb::Exit:
      return exitComponents(session, invocation);
    case Verb::Conf:
      return configuration(session, invocation);
    case Verb::Inject:
      return injectSample(session, invocation);
    case Verb::Print:
      return printSamples(session, invocation);
  }
  return 1;
}

}  // namespace rtctl
