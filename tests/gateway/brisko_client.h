#pragma once

#include <string>

#include <BriskoRTC.hh>
#include <RTC.hh>

// Reaches the BriskoService of a running gateway from another process: resolves the component
// in the name service and connects to its "BriskoService" port with a connector that holds only
// that port, which makes the port publish its provider's reference. Nil when any step fails.
BriskoRTC::BriskoService_ptr connectToBriskoService(CORBA::ORB_ptr orb,
                                                    const std::string& nameServiceCorbaloc,
                                                    const std::string& instanceName);

// The component bound as "<instanceName>.rtc" in the root context of the name service, or at a
// naming path given as instanceName ("robot.host_cxt/Brisko0"); nil when it is not there.
RTC::RTObject_ptr resolveComponent(CORBA::ORB_ptr orb, const std::string& nameServiceCorbaloc,
                                   const std::string& instanceName);
