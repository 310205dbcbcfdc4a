#pragma once
// The changes rtctl makes to live components, shared by the single commands (connect,
// activate, conf set...) and by those that apply a whole system file. Each failure is thrown
// as rtctl::Failure carrying one line.
#include <string>
#include <utility>
#include <vector>

#include "command_line.h"
#include "session.h"

namespace rtctl {

// A port of a component found by its address, with a plain copy of its profile.
struct FoundPort {
  Component component;
  RTC::PortService_var port;
  PortInfo info;
};

FoundPort findPort(Session& session, const PortAddress& address);

// "Name:port" as the user wrote it.
std::string label(const PortAddress& address);

// Throws "<what> failed: <code>" unless code is RTC_OK.
void checkReturn(const std::string& what, RTC::ReturnCode_t code);

enum class StateChange { Activate, Deactivate, Reset };

// The change in the component's first owned execution context.
void changeState(Session& session, const Component& component, StateChange change);

// The component's active configuration set.
ConfigurationSetInfo activeConfiguration(const Component& component);

// Sets key to value in the component's active configuration set and activates the set again.
// An unknown key, or a value the component refuses (its reason), is a failure. Returns the id
// of the set.
std::string setConfigurationValue(const Component& component, const std::string& key,
                                  const std::string& value);

// Connects two ports after checking that they may be connected; returns the connector id.
std::string connectPorts(const FoundPort& first, const FoundPort& second,
                         const std::vector<std::pair<std::string, std::string>>& properties,
                         const std::string& what);

// Takes the connector away through the port.
void disconnectConnector(RTC::PortService_ptr port, const std::string& connectorId,
                         const std::string& what);

}  // namespace rtctl
