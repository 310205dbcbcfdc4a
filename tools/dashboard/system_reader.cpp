#include "system_reader.h"

#include <RTC.hh>
#include <omniORB4/Naming.hh>

#include <utility>
#include <vector>

#include "tools/rtctl/component_names.h"
#include "tools/rtctl/naming_tree.h"
#include "tools/rtctl/profile_format.h"
#include "tools/rtctl/session.h"

namespace dashboard {

namespace {

// A port reference with the name its component gives it, for naming the far ends of
// connectors without asking each far port for its profile.
struct KnownPort {
  RTC::PortService_var reference;
  std::string name;
};

// The far end of a connector whose port belongs to no component in the name server (a tool's
// own port, such as rtctl's listener).
const char* const kOutsidePort = "(a port outside the name server)";

std::string exceptionText(const CORBA::Exception& error) {
  std::string name = error._name();
  if (name == "TRANSIENT" || name == "COMM_FAILURE" || name == "OBJECT_NOT_EXIST") {
    return "does not answer (" + name + "): its process is gone";
  }
  if (name == "TIMEOUT") return "does not answer in time (TIMEOUT): hung or far away";
  return name;
}

std::string nameOfPort(const std::vector<KnownPort>& known, RTC::PortService_ptr port) {
  for (const KnownPort& candidate : known) {
    if (candidate.reference->_is_equivalent(port)) return candidate.name;
  }
  return kOutsidePort;
}

RTC::RTObject_ptr componentAt(CosNaming::NamingContextExt_ptr root, const std::string& path) {
  CORBA::Object_var object = root->resolve_str(path.c_str());
  RTC::RTObject_var component = RTC::RTObject::_unchecked_narrow(object);
  omniORB::setClientCallTimeout(component, kCallTimeout_ms);
  return component._retn();
}

}  // namespace

SystemReader::SystemReader(CORBA::ORB_ptr orb, std::string nameServer,
                           const std::atomic<bool>& cancelled)
    : orb_(CORBA::ORB::_duplicate(orb)),
      nameServer_(std::move(nameServer)),
      cancelled_(cancelled) {}

SystemView SystemReader::read() {
  SystemView system;
  system.nameServer = nameServer_;
  std::vector<std::pair<std::string, RTC::RTObject_var>> found;
  try {
    CosNaming::NamingContextExt_var root =
        name_service::rootContext(orb_, nameServer_, kCallTimeout_ms);
    if (CORBA::is_nil(root)) {
      system.problem = "bad name server address \"" + nameServer_ + "\"";
      return system;
    }
    for (const std::string& path : name_service::listBindings(root, kCallTimeout_ms).paths) {
      if (!rtctl::isComponentPath(path)) continue;
      try {
        found.emplace_back(path, componentAt(root, path));
      } catch (const CORBA::Exception&) {
        found.emplace_back(path, RTC::RTObject::_nil());
      }
    }
  } catch (const CORBA::Exception& error) {
    system.problem = "name server " + nameServer_ + " " + exceptionText(error);
    return system;
  }

  std::vector<RTC::ComponentProfile_var> profiles(found.size());
  std::vector<bool> answered(found.size(), false);
  std::vector<KnownPort> known;
  for (std::size_t i = 0; i < found.size(); ++i) {
    ComponentView component;
    component.path = found[i].first;
    component.instanceName = rtctl::instanceNameOfPath(component.path);
    const RTC::RTObject_var& object = found[i].second;
    if (cancelled_) {
      component.state = kStateUnreachable;
      component.problem = "not read: the dashboard is ending";
      system.components.push_back(component);
      continue;
    }
    try {
      if (CORBA::is_nil(object)) throw CORBA::OBJECT_NOT_EXIST();
      profiles[i] = object->get_component_profile();
      component.instanceName = profiles[i]->instance_name.in();
      RTC::ExecutionContextList_var contexts = object->get_owned_contexts();
      if (contexts->length() > 0 && !CORBA::is_nil(contexts[0])) {
        omniORB::setClientCallTimeout(contexts[0], kCallTimeout_ms);
        component.state = rtctl::lifeCycleStateName(contexts[0]->get_component_state(object));
      }
      for (CORBA::ULong p = 0; p < profiles[i]->port_profiles.length(); ++p) {
        const RTC::PortProfile& port = profiles[i]->port_profiles[p];
        known.push_back({RTC::PortService::_duplicate(port.port_ref), port.name.in()});
      }
      answered[i] = true;
    } catch (const CORBA::Exception& error) {
      component.state = kStateUnreachable;
      component.problem = exceptionText(error);
    }
    system.components.push_back(component);
  }

  for (std::size_t i = 0; i < found.size(); ++i) {
    if (!answered[i]) continue;
    for (CORBA::ULong p = 0; p < profiles[i]->port_profiles.length(); ++p) {
      const RTC::PortProfile& profile = profiles[i]->port_profiles[p];
      rtctl::PortInfo info;
      info.name = profile.name.in();
      info.properties = rtctl::propertiesOf(profile.properties);
      PortView port{info.name, rtctl::portKind(info), "", {}};
      auto dataType = info.properties.find("dataport.data_type");
      if (dataType != info.properties.end()) port.dataType = dataType->second;
      for (CORBA::ULong c = 0; c < profile.connector_profiles.length(); ++c) {
        const RTC::ConnectorProfile& connector = profile.connector_profiles[c];
        PortView::Connector view{connector.connector_id.in(), {}};
        for (CORBA::ULong e = 0; e < connector.ports.length(); ++e) {
          view.ports.push_back(nameOfPort(known, connector.ports[e]));
        }
        port.connectors.push_back(view);
      }
      system.components[i].ports.push_back(port);
    }
  }
  return system;
}

std::string SystemReader::changeState(const std::string& instanceName, bool activate) {
  const std::string what = std::string(activate ? "activate " : "deactivate ") + instanceName;
  try {
    CosNaming::NamingContextExt_var root =
        name_service::rootContext(orb_, nameServer_, kCallTimeout_ms);
    if (CORBA::is_nil(root)) return what + ": bad name server address";
    std::vector<std::string> paths;
    for (const std::string& path : name_service::listBindings(root, kCallTimeout_ms).paths) {
      if (rtctl::isComponentPath(path)) paths.push_back(path);
    }
    std::vector<std::string> matches = rtctl::matchComponentName(paths, instanceName);
    if (matches.size() != 1) {
      return what + (matches.empty() ? ": no such component in the name server"
                                     : ": the name is bound more than once");
    }
    RTC::RTObject_var component = componentAt(root, matches[0]);
    RTC::ExecutionContextList_var contexts = component->get_owned_contexts();
    if (contexts->length() == 0 || CORBA::is_nil(contexts[0])) {
      return what + ": the component owns no execution context";
    }
    omniORB::setClientCallTimeout(contexts[0], kCallTimeout_ms);
    RTC::ReturnCode_t code = activate ? contexts[0]->activate_component(component)
                                      : contexts[0]->deactivate_component(component);
    if (code != RTC::RTC_OK) return what + ": " + rtctl::returnCodeName(code);
  } catch (const CORBA::Exception& error) {
    return what + ": " + exceptionText(error);
  }
  return "";
}

}  // namespace dashboard
