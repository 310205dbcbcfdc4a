#pragma once
// A service provided by rtctl itself to a component's consumer port: record stands in for the
// provider (forwarding and recording each call), replay answers from a recording.
//
// Standing in keeps the consumer served throughout: rtctl's provider is connected first (the
// consumer follows its latest connection), then the consumer's other connections are removed;
// at the end they are connected again before rtctl's own is removed.
#include <RTC.hh>

#include <string>
#include <vector>

#include "port_connection.h"

namespace rtctl {

// The interface a consumer port requires, as its profile names it.
struct RequiredInterface {
  std::string instanceName;  // "RelativeMapService"
  std::string typeName;      // "Zemla::RelativeMapService"
};

// The consumer port's required interface whose type name ends with typeSuffix; throws the one
// line naming the port's interfaces otherwise.
RequiredInterface requiredInterface(const FoundPort& consumer, const PortAddress& address,
                                    const std::string& typeSuffix);

// The object the consumer port's current connection gives the interface; throws when the port
// is not connected to a provider. providerPort receives the provider's port name.
CORBA::Object_ptr currentProvider(Session& session, const FoundPort& consumer,
                                  const RequiredInterface& interface, std::string& providerPort);

class ProvidedService {
 public:
  // Connects "rtctl.<purpose>", providing `provider` as the interface, to the consumer port.
  // With standIn, the consumer's other connections are then removed, to be restored later.
  ProvidedService(Session& session, FoundPort consumer, const PortAddress& address,
                  const std::string& purpose, const RequiredInterface& interface,
                  CORBA::Object_ptr provider, bool standIn);
  ~ProvidedService();
  ProvidedService(const ProvidedService&) = delete;
  ProvidedService& operator=(const ProvidedService&) = delete;

  // Connects the removed connections again, then removes rtctl's own. Returns the one line
  // for each connection that could not be restored (its provider gone, say).
  std::vector<std::string> restore();

 private:
  Session& session_;
  FoundPort consumer_;
  std::string label_;
  std::string connectorId_;
  RTC::ConnectorProfileList removed_;
};

}  // namespace rtctl
