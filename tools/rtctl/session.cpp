#include "session.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "component_names.h"
#include "name_server_address.h"
#include "naming_tree.h"
#include "private_system.h"

namespace rtctl {

namespace {

const char* const kBinaryValue = "<binary>";

}  // namespace

std::string returnCodeName(RTC::ReturnCode_t code) {
  switch (code) {
    case RTC::RTC_OK:
      return "RTC_OK";
    case RTC::RTC_ERROR:
      return "RTC_ERROR";
    case RTC::BAD_PARAMETER:
      return "BAD_PARAMETER";
    case RTC::UNSUPPORTED:
      return "UNSUPPORTED";
    case RTC::OUT_OF_RESOURCES:
      return "OUT_OF_RESOURCES";
    case RTC::PRECONDITION_NOT_MET:
      return "PRECONDITION_NOT_MET";
  }
  return "return code " + std::to_string(static_cast<int>(code));
}

PropertyMap propertiesOf(const SDOPackage::NVList& list) {
  PropertyMap properties;
  for (CORBA::ULong i = 0; i < list.length(); ++i) {
    const char* value = nullptr;
    properties[list[i].name.in()] = (list[i].value >>= value) ? value : kBinaryValue;
  }
  return properties;
}

std::string stringProperty(const SDOPackage::NVList& list, const std::string& key) {
  for (CORBA::ULong i = 0; i < list.length(); ++i) {
    const char* value = nullptr;
    if (key == list[i].name.in() && (list[i].value >>= value)) return value;
  }
  return "";
}

void setStringProperty(SDOPackage::NVList& list, const std::string& key, const std::string& value) {
  for (CORBA::ULong i = 0; i < list.length(); ++i) {
    if (key == list[i].name.in()) {
      list[i].value <<= value.c_str();
      return;
    }
  }
  CORBA::ULong at = list.length();
  list.length(at + 1);
  list[at].name = key.c_str();
  list[at].value <<= value.c_str();
}

std::string Session::explain(const std::string& what, const CORBA::Exception& error) {
  std::string name = error._name();
  if (name == "TRANSIENT" || name == "COMM_FAILURE" || name == "TIMEOUT" ||
      name == "OBJECT_NOT_EXIST") {
    return what + ": does not answer (" + name + "), the process is gone or hung";
  }
  return what + ": " + name;
}

Session::Session(const std::string& nameServer) : nameServer_(nameServer) {
  std::string callTimeout = std::to_string(kCallTimeout_ms);
  std::string connectTimeout = std::to_string(kConnectTimeout_ms);
  std::vector<std::string> arguments{"rtctl", "-ORBclientCallTimeOutPeriod", callTimeout,
                                     "-ORBclientConnectTimeOutPeriod", connectTimeout};
  // Peers call back into rtctl's own ports; on a loopback setup keep those calls on loopback.
  if (name_service::isLoopbackAddress(nameServer)) {
    arguments.insert(arguments.end(), {"-ORBendPoint", "giop:tcp:127.0.0.1:"});
  } else if (name_service::isUnixSocketAddress(nameServer)) {
    // A private system: only through a socket of the owner's, beside the name server's.
    std::vector<std::string> orbArguments =
        privateOrbArguments(name_service::socketFolderOf(nameServer));
    arguments.insert(arguments.end(), orbArguments.begin(), orbArguments.end());
  }
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  int argc = static_cast<int>(argv.size());
  argv.push_back(nullptr);
  orb_ = CORBA::ORB_init(argc, argv.data());
}

Session::~Session() {
  try {
    orb_->destroy();
  } catch (const CORBA::Exception&) {
    // Nothing left to clean up that matters at exit.
  }
}

PortableServer::POA_ptr Session::activePoa() {
  if (!poaActive_) {
    CORBA::Object_var object = orb_->resolve_initial_references("RootPOA");
    poa_ = PortableServer::POA::_narrow(object);
    PortableServer::POAManager_var manager = poa_->the_POAManager();
    manager->activate();
    poaActive_ = true;
  }
  return poa_.in();
}

std::vector<std::string> Session::componentPaths() {
  std::vector<std::string> paths;
  try {
    CosNaming::NamingContextExt_var root = rootContext();
    for (const auto& path : name_service::listBindings(root, 0).paths) {
      if (isComponentPath(path)) paths.push_back(path);
    }
  } catch (const CORBA::Exception& error) {
    throw Failure(explain("name server " + nameServer_, error));
  }
  return paths;
}

CosNaming::NamingContextExt_ptr Session::rootContext() {
  // A socket that cannot be reached says why, rather than looking like a name server gone.
  if (name_service::isUnixSocketAddress(nameServer_) && access(nameServer_.c_str(), W_OK) != 0) {
    int error = errno;
    throw Failure("name server " + nameServer_ + ": " + std::strerror(error) +
                  (error == EACCES ? " (the system is private to another user)" : ""));
  }
  CosNaming::NamingContextExt_var root = name_service::rootContext(orb_, nameServer_, 0);
  if (CORBA::is_nil(root)) throw Failure("bad name server address \"" + nameServer_ + "\"");
  return root._retn();
}

template <class Work>
auto Session::atPath(const std::string& path, Work work) {
  try {
    CosNaming::NamingContextExt_var root = rootContext();
    return work(root.in());
  } catch (const CosNaming::NamingContext::NotFound&) {
    throw Failure("no component at \"" + path + "\" in the name server " + nameServer_);
  } catch (const CosNaming::NamingContext::InvalidName&) {
    throw Failure("\"" + path + "\" is not a valid naming path");
  } catch (const CORBA::Exception& error) {
    throw Failure(explain("name server " + nameServer_, error));
  }
}

CORBA::Object_ptr Session::resolvePath(const std::string& path) {
  return atPath(
      path, [&](CosNaming::NamingContextExt_ptr root) { return root->resolve_str(path.c_str()); });
}

Component Session::findComponent(const std::string& name) {
  return findComponentIn(isNamingPath(name) ? std::vector<std::string>{} : componentPaths(), name);
}

Presence Session::presenceOf(const std::string& path) {
  CORBA::Object_var object = resolvePath(path);
  try {
    return object->_non_existent() ? Presence::Gone : Presence::Answers;
  } catch (const CORBA::TRANSIENT&) {
    return Presence::Gone;
  } catch (const CORBA::OBJECT_NOT_EXIST&) {
    return Presence::Gone;
  } catch (const CORBA::COMM_FAILURE&) {
    return Presence::Gone;
  } catch (const CORBA::Exception&) {
    return Presence::Hung;
  }
}

void Session::unbind(const std::string& path) {
  atPath(path, [&](CosNaming::NamingContextExt_ptr root) {
    CosNaming::Name_var name = root->to_name(path.c_str());
    root->unbind(name.in());
  });
}

Component Session::findComponentIn(const std::vector<std::string>& paths, const std::string& name) {
  Component component;
  if (isNamingPath(name)) {
    component.path = name[0] == '/' ? name.substr(1) : name;
  } else {
    std::vector<std::string> matches = matchComponentName(paths, name);
    if (matches.empty()) {
      throw Failure("no component named \"" + name + "\" in the name server " + nameServer_);
    }
    if (matches.size() > 1) {
      std::string list;
      for (const auto& match : matches) list += (list.empty() ? "" : ", ") + match;
      throw Failure("\"" + name + "\" is ambiguous: " + list + " (give the naming path)");
    }
    component.path = matches[0];
  }
  CORBA::Object_var object = resolvePath(component.path);
  try {
    component.object = RTC::RTObject::_narrow(object);
    if (CORBA::is_nil(component.object)) throw Failure(component.path + " is not an RT-component");
    RTC::ComponentProfile_var profile = component.object->get_component_profile();
    component.instanceName = profile->instance_name.in();
  } catch (const CORBA::Exception& error) {
    throw Failure(explain("component " + component.path, error));
  }
  return component;
}

RTC::PortService_ptr Session::findPort(const Component& component, const std::string& portName) {
  std::string fullName = component.instanceName + "." + portName;
  std::vector<std::string> names;
  try {
    RTC::PortServiceList_var ports = component.object->get_ports();
    for (CORBA::ULong i = 0; i < ports->length(); ++i) {
      RTC::PortProfile_var profile = ports[i]->get_port_profile();
      std::string name = profile->name.in();
      if (name == fullName || name == portName) return RTC::PortService::_duplicate(ports[i]);
      names.push_back(name);
    }
  } catch (const CORBA::Exception& error) {
    throw Failure(explain("component " + component.instanceName, error));
  }
  std::string list;
  for (const auto& name : names) list += (list.empty() ? "" : ", ") + name;
  throw Failure(component.instanceName + " has no port \"" + portName +
                "\" (ports: " + (list.empty() ? "none" : list) + ")");
}

RTC::ExecutionContext_ptr Session::firstContext(const Component& component) {
  try {
    RTC::ExecutionContextList_var contexts = component.object->get_owned_contexts();
    if (contexts->length() == 0 || CORBA::is_nil(contexts[0])) {
      throw Failure(component.instanceName + " owns no execution context");
    }
    return RTC::ExecutionContext::_duplicate(contexts[0]);
  } catch (const CORBA::Exception& error) {
    throw Failure(explain("component " + component.instanceName, error));
  }
}

PortInfo Session::describePort(RTC::PortService_ptr port, const std::string& label) {
  PortInfo info;
  try {
    RTC::PortProfile_var profile = port->get_port_profile();
    info.name = profile->name.in();
    info.properties = propertiesOf(profile->properties);
    for (CORBA::ULong i = 0; i < profile->interfaces.length(); ++i) {
      const RTC::PortInterfaceProfile& interface = profile->interfaces[i];
      info.interfaces.push_back({interface.instance_name.in(), interface.type_name.in(),
                                 interface.polarity == RTC::PROVIDED});
    }
    for (CORBA::ULong i = 0; i < profile->connector_profiles.length(); ++i) {
      const RTC::ConnectorProfile& connector = profile->connector_profiles[i];
      ConnectorInfo connectorInfo{
          connector.connector_id.in(), connector.name.in(), {}, propertiesOf(connector.properties)};
      for (CORBA::ULong p = 0; p < connector.ports.length(); ++p) {
        std::string peerName = "?";
        try {
          RTC::PortProfile_var peer = connector.ports[p]->get_port_profile();
          peerName = peer->name.in();
        } catch (const CORBA::Exception&) {
          peerName = "<unreachable port>";
        }
        connectorInfo.portNames.push_back(peerName);
      }
      info.connectors.push_back(connectorInfo);
    }
  } catch (const CORBA::Exception& error) {
    throw Failure(explain("port " + label, error));
  }
  return info;
}

ComponentInfo Session::describe(const Component& component) {
  ComponentInfo info;
  info.path = component.path;
  try {
    RTC::ComponentProfile_var profile = component.object->get_component_profile();
    info.instanceName = profile->instance_name.in();
    info.typeName = profile->type_name.in();
    info.description = profile->description.in();
    info.version = profile->version.in();
    info.vendor = profile->vendor.in();
    info.category = profile->category.in();
    RTC::ExecutionContextList_var contexts = component.object->get_owned_contexts();
    if (contexts->length() > 0 && !CORBA::is_nil(contexts[0])) {
      info.state = lifeCycleStateName(contexts[0]->get_component_state(component.object));
      info.rate_hz = contexts[0]->get_rate();
    }
    RTC::PortServiceList_var ports = component.object->get_ports();
    for (CORBA::ULong i = 0; i < ports->length(); ++i) {
      info.ports.push_back(describePort(ports[i], info.instanceName));
    }
    SDOPackage::Configuration_var configuration = component.object->get_configuration();
    if (!CORBA::is_nil(configuration)) {
      SDOPackage::ConfigurationSetList_var sets = configuration->get_configuration_sets();
      for (CORBA::ULong i = 0; i < sets->length(); ++i) {
        ConfigurationSetInfo set{sets[i].id.in(), {}};
        for (CORBA::ULong v = 0; v < sets[i].configuration_data.length(); ++v) {
          const char* value = nullptr;
          const SDOPackage::NameValue& entry = sets[i].configuration_data[v];
          set.values.emplace_back(entry.name.in(), (entry.value >>= value) ? value : kBinaryValue);
        }
        info.configurationSets.push_back(set);
      }
      try {
        SDOPackage::ConfigurationSet_var active = configuration->get_active_configuration_set();
        info.activeSetId = active->id.in();
      } catch (const SDOPackage::NotAvailable&) {
        info.activeSetId.clear();
      }
    }
  } catch (const Failure&) {
    throw;
  } catch (const CORBA::Exception& error) {
    throw Failure(explain("component " + component.path, error));
  }
  return info;
}

ListEntry Session::listEntry(const std::string& path) {
  try {
    CORBA::Object_var object = resolvePath(path);
    RTC::RTObject_var component = RTC::RTObject::_narrow(object);
    if (CORBA::is_nil(component)) return {path, "not a component"};
    RTC::ExecutionContextList_var contexts = component->get_owned_contexts();
    if (contexts->length() == 0 || CORBA::is_nil(contexts[0])) return {path, "no context"};
    return {path, lifeCycleStateName(contexts[0]->get_component_state(component))};
  } catch (const Failure&) {
    return {path, "unreachable"};
  } catch (const CORBA::Exception&) {
    return {path, "unreachable"};
  }
}

}  // namespace rtctl
