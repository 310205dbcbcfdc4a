// The common part of every port: its profile, its connections and the connect protocol.
//
// connect() is called on any one port of a connection: it gives the connector an id,
// then notify_connect() travels along the profile's port list; each port publishes its
// interfaces into the connector properties, passes the profile on to the next port and
// then takes what the others published. A port that fails makes the whole connect fail,
// and the ports already connected are disconnected again.
#pragma once

#include <rtm/Logger.h>
#include <rtm/RTC.h>

#include <mutex>
#include <string>
#include <vector>

namespace RTC {

class PortBase : public virtual POA_RTC::PortService {
 public:
  explicit PortBase(const char* name);
  ~PortBase() override;
  PortBase(const PortBase&) = delete;
  PortBase& operator=(const PortBase&) = delete;

  // The full name "<instance>.<port>" once the port belongs to a component, else the
  // name it was made with.
  std::string getName() const;
  const std::string& shortName() const { return m_shortName; }
  // Called by the component when the port is added to it.
  void setOwner(RTObject_ptr owner, const std::string& instance_name);
  PortService_ptr getPortRef() const { return ::RTC::PortService::_duplicate(m_objref); }
  void activateObject();
  // Withdraws the port and every servant it activated from the ORB; the component calls
  // it while all its members are still alive.
  virtual void deactivateObject();
  bool isConnected() const;
  std::vector<std::string> connectorIds() const;

  // PortService
  PortProfile* get_port_profile() override;
  ConnectorProfileList* get_connector_profiles() override;
  ConnectorProfile* get_connector_profile(const char* connector_id) override;
  ReturnCode_t connect(ConnectorProfile& connector_profile) override;
  ReturnCode_t disconnect(const char* connector_id) override;
  ReturnCode_t disconnect_all() override;
  ReturnCode_t notify_connect(ConnectorProfile& connector_profile) override;
  ReturnCode_t notify_disconnect(const char* connector_id) override;

 protected:
  // Writes this port's interfaces into the connector properties.
  virtual ReturnCode_t publishInterfaces(ConnectorProfile& connector_profile) = 0;
  // Takes what the other ports published.
  virtual ReturnCode_t subscribeInterfaces(const ConnectorProfile& connector_profile) = 0;
  // Drops what subscribeInterfaces/publishInterfaces set up for this connector.
  virtual void unsubscribeInterfaces(const ConnectorProfile& connector_profile) = 0;
  // Adds connector properties every connection of this port kind needs.
  virtual void completeConnectorProfile(ConnectorProfile&) {}

  void setPortProperty(const std::string& key, const std::string& value);
  void appendInterface(const PortInterfaceProfile& profile);
  // Forgets a connection whose peer is gone, without calling the peer.
  void dropConnection(const std::string& connector_id);

  Logger m_log;

 private:
  // True when `port` is this port's own reference.
  bool isSelf(PortService_ptr port) const;
  ReturnCode_t connectNext(ConnectorProfile& connector_profile);
  void disconnectNext(const ConnectorProfile& connector_profile);
  bool findConnector(const std::string& id, ConnectorProfile& out) const;

  const std::string m_shortName;
  mutable std::mutex m_mutex;
  PortProfile m_profile;
  PortService_var m_objref;
  PortableServer::ObjectId_var m_objectId;
};

}  // namespace RTC
