#include "commands.h"

#include <iostream>

#include "port_connection.h"
#include "port_data_verbs.h"
#include "session.h"

namespace rtctl {

std::atomic<bool> stopRequested{false};

namespace {

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
    case Verb::Print:
    case Verb::Hz:
    case Verb::Record:
    case Verb::Replay:
      return runPortDataVerb(
          session, parsePortDataRequest(invocation.verb, invocation.portDataArguments).request);
  }
  return 1;
}

}  // namespace rtctl
