#pragma once
// Reaches a service that a component provides on one of its ports, the way a connection
// tool would: the component is looked up in the name server, and a connection holding only
// that port makes the provider publish its object reference in the connector profile.

#include <omniORB4/CORBA.h>

#include <string>

namespace hirosim::testing {

// The provider's object reference published under "port.<type>.<instance>"; nil when the
// component, the port or the key is not found.
CORBA::Object_ptr providedService(CORBA::ORB_ptr orb, const std::string& nameServerCorbaloc,
                                  const std::string& componentPath, const std::string& portName,
                                  const std::string& typeName, const std::string& instanceName);

}  // namespace hirosim::testing
