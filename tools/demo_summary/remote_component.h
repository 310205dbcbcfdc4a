#pragma once
// What the summary asks of running components over CORBA, as a client only: find a component
// in the name server, read its active configuration, and get the object reference of a service
// it provides on a service port.
//
// The provider's reference is had the way any connection tool gets it: a connection whose only
// port is the provider's port makes the port publish its interfaces into the connector
// profile; the connection is removed again at once. Every failure, CORBA exceptions included,
// comes back as a message.

#include <omniORB4/CORBA.h>

#include <RTC.hh>
#include <map>
#include <string>

namespace demo_summary {

// Seconds any single remote call may take before it counts as failed.
constexpr unsigned long kRemoteCallTimeout_ms = 5000;

template <class T>
struct Remote {
  T value{};
  std::string error;  // non-empty: why there is no value
};

// The component bound as "<instanceName>.rtc" in any context of the name server at
// "host:port".
Remote<RTC::RTObject_var> findComponent(CORBA::ORB_ptr orb, const std::string& nameServer,
                                        const std::string& instanceName);

// Parameter name → value text of the component's active configuration set.
Remote<std::map<std::string, std::string>> activeConfiguration(RTC::RTObject_ptr component);

// The reference that the port named portName provides as typeName / instanceName.
Remote<CORBA::Object_var> providedService(CORBA::ORB_ptr orb, RTC::RTObject_ptr component,
                                          const std::string& portName, const std::string& typeName,
                                          const std::string& instanceName);

// One line describing a CORBA exception.
std::string describe(const CORBA::Exception& error);

}  // namespace demo_summary
