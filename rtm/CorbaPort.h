// A service port: provided interfaces (servants) and required interfaces (consumers)
// exchanged with the peer port through the connector properties.
//
// A provider publishes its reference under "<instance>.port.<port>.provided.<type>.
// <interface instance>" and under the older "port.<type>.<interface instance>". A
// consumer takes the provider named by "<instance>.port.<port>.required.<type>.
// <interface instance>" when a tool set it, else the older key.
#pragma once

#include <rtm/CorbaConsumer.h>
#include <rtm/PortBase.h>

#include <string>
#include <vector>

namespace RTC {

class CorbaPort : public PortBase {
 public:
  explicit CorbaPort(const char* name);
  ~CorbaPort() override;

  // Activates `provider` as a CORBA object and offers it; false when the instance name
  // is already registered on this port.
  bool registerProvider(const char* instance_name, const char* type_name,
                        PortableServer::ServantBase& provider);
  // `consumer` receives the provider's reference when this port is connected.
  bool registerConsumer(const char* instance_name, const char* type_name,
                        CorbaConsumerBase& consumer);
  void deactivateObject() override;

 protected:
  ReturnCode_t publishInterfaces(ConnectorProfile& connector_profile) override;
  ReturnCode_t subscribeInterfaces(const ConnectorProfile& connector_profile) override;
  void unsubscribeInterfaces(const ConnectorProfile& connector_profile) override;

 private:
  struct Provider {
    std::string instanceName;
    std::string typeName;
    std::string ior;
    PortableServer::ObjectId_var objectId;
  };
  struct Consumer {
    std::string instanceName;
    std::string typeName;
    CorbaConsumerBase* consumer;
  };
  // "<instance>.port.<port>" of this port.
  std::string keyPrefix() const;

  std::mutex m_mutex;
  std::vector<Provider> m_providers;
  std::vector<Consumer> m_consumers;
  // The provider each connection gave each consumer, in the order of the connections. A
  // consumer follows its latest connection still in place, so that a provider can be
  // replaced without a moment in which the consumer holds nothing: connect the new one, then
  // disconnect the old.
  struct ConsumerLink {
    std::string connectorId;
    CorbaConsumerBase* consumer;
    CORBA::Object_var provider;
  };
  std::vector<ConsumerLink> m_consumerLinks;
};

}  // namespace RTC
