#include "component_control.h"

#include "system_check.h"

namespace rtctl {

std::string label(const PortAddress& address) { return address.component + ":" + address.port; }

void checkReturn(const std::string& what, RTC::ReturnCode_t code) {
  if (code != RTC::RTC_OK) throw Failure(what + " failed: " + returnCodeName(code));
}

FoundPort findPort(Session& session, const PortAddress& address) {
  FoundPort found;
  found.component = session.findComponent(address.component);
  found.port = session.findPort(found.component, address.port);
  found.info = session.describePort(found.port, label(address));
  return found;
}

void changeState(Session& session, const Component& component, StateChange change) {
  RTC::ExecutionContext_var context = session.firstContext(component);
  const char* verb = change == StateChange::Activate     ? "activate"
                     : change == StateChange::Deactivate ? "deactivate"
                                                         : "reset";
  std::string what = std::string(verb) + " " + component.instanceName;
  try {
    RTC::ReturnCode_t code = RTC::RTC_OK;
    if (change == StateChange::Activate) {
      code = context->activate_component(component.object);
    } else if (change == StateChange::Deactivate) {
      code = context->deactivate_component(component.object);
    } else {
      code = context->reset_component(component.object);
    }
    checkReturn(what, code);
  } catch (const CORBA::Exception& error) {
    throw Failure(Session::explain(what, error));
  }
}

namespace {

// Runs work on the component's configuration interface; its exceptions become one line.
template <class Work>
auto withConfiguration(const Component& component, Work work) {
  const std::string& name = component.instanceName;
  try {
    SDOPackage::Configuration_var configuration = component.object->get_configuration();
    if (CORBA::is_nil(configuration)) throw Failure(name + " has no configuration interface");
    return work(configuration.in());
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

}  // namespace

ConfigurationSetInfo activeConfiguration(const Component& component) {
  return withConfiguration(component, [](SDOPackage::Configuration_ptr configuration) {
    SDOPackage::ConfigurationSet_var active = configuration->get_active_configuration_set();
    ConfigurationSetInfo set{active->id.in(), {}};
    PropertyMap values = propertiesOf(active->configuration_data);
    for (CORBA::ULong i = 0; i < active->configuration_data.length(); ++i) {
      const char* key = active->configuration_data[i].name.in();
      set.values.emplace_back(key, values[key]);
    }
    return set;
  });
}

std::string setConfigurationValue(const Component& component, const std::string& key,
                                  const std::string& value) {
  const std::string& name = component.instanceName;
  return withConfiguration(component, [&](SDOPackage::Configuration_ptr configuration) {
    SDOPackage::ConfigurationSet_var active = configuration->get_active_configuration_set();
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
    return std::string(active->id.in());
  });
}

std::string connectPorts(const FoundPort& first, const FoundPort& second,
                         const std::vector<std::pair<std::string, std::string>>& properties,
                         const std::string& what) {
  ConnectionPlan plan = planConnection(
      {first.info.name, first.info.properties, first.info.interfaces},
      {second.info.name, second.info.properties, second.info.interfaces}, properties);
  if (!plan.error.empty()) throw Failure(plan.error);
  RTC::ConnectorProfile profile;
  profile.name = connectorName(first.info.name, second.info.name).c_str();
  profile.connector_id = "";
  profile.ports.length(2);
  profile.ports[0] = RTC::PortService::_duplicate(first.port);
  profile.ports[1] = RTC::PortService::_duplicate(second.port);
  for (const auto& [key, value] : plan.connectorProperties) {
    setStringProperty(profile.properties, key, value);
  }
  try {
    checkReturn(what, first.port->connect(profile));
  } catch (const CORBA::Exception& error) {
    throw Failure(Session::explain(what, error));
  }
  return profile.connector_id.in();
}

void disconnectConnector(RTC::PortService_ptr port, const std::string& connectorId,
                         const std::string& what) {
  try {
    checkReturn(what, port->disconnect(connectorId.c_str()));
  } catch (const CORBA::Exception& error) {
    throw Failure(Session::explain(what, error));
  }
}

}  // namespace rtctl
