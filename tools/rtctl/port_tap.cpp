#include "port_tap.h"

namespace rtctl {

OutPortTap::OutPortTap(Session& session, FoundPort found, const PortAddress& address,
                       const std::string& purpose, CdrSink::Take take)
    : session_(session), found_(std::move(found)), label_(rtctl::label(address)) {
  requirePortType(found_, address, kDataOutPort);
  dataType_ = property(found_.info, kDataTypeKey);
  OpenRTM::InPortCdr_var sink =
      activateServant<OpenRTM::InPortCdr>(session, new CdrSink(std::move(take)));
  CORBA::String_var ior = session.orb()->object_to_string(sink);
  const std::string name = "rtctl." + purpose;
  ownServant_ = new PeerPort(name, kDataInPort, {{kInPortIorKey, ior.in()}});
  ownServant_->publishObject(kInPortRefKey, sink);
  ownServant_->_add_ref();
  own_ = activateServant<RTC::PortService>(session, ownServant_);
  RTC::ConnectorProfile profile = ownConnectorProfile(name, found_.port, own_, dataType_);
  const std::string what = purpose + " " + label_;
  try {
    checkReturn(what + ": connect", found_.port->connect(profile));
  } catch (const CORBA::Exception& error) {
    ownServant_->_remove_ref();
    throw Failure(Session::explain(what, error));
  } catch (const Failure&) {
    ownServant_->_remove_ref();
    throw;
  }
  connectorId_ = profile.connector_id.in();
  littleEndian_ = connectorIsLittleEndian(profile);
}

OutPortTap::~OutPortTap() {
  disconnect();
  ownServant_->_remove_ref();
}

void OutPortTap::disconnect() {
  if (connectorId_.empty()) return;
  disconnectQuietly(found_.port, connectorId_.c_str());
  connectorId_.clear();
}

std::string OutPortTap::lost() {
  const std::string& name = found_.component.instanceName;
  try {
    if (found_.component.object->_non_existent()) return name + " no longer exists";
  } catch (const CORBA::Exception& error) {
    return Session::explain(name, error);
  }
  try {
    CORBA::Object_var bound = session_.resolvePath(found_.component.path);
  } catch (const Failure& failure) {
    return failure.what();
  }
  if (ownServant_->disconnected()) return "the connection to " + label_ + " was removed";
  // Behind a pulled network cable the component's write to rtctl times out and it drops the
  // connection without a word to rtctl.
  try {
    RTC::ConnectorProfile_var profile = found_.port->get_connector_profile(connectorId_.c_str());
    if (connectorId_ != profile->connector_id.in()) {
      return name +
             " dropped rtctl's connection (a write to rtctl timed out), so samples may "
             "have been missed";
    }
  } catch (const CORBA::Exception& error) {
    return Session::explain(name, error);
  }
  return "";
}

}  // namespace rtctl
