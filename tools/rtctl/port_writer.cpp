#include "port_writer.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "verbs.h"

namespace rtctl {

namespace {

// A full in-port is offered the sample again after a pause that grows to this.
constexpr double kLongestRetryPause_s = 0.05;
constexpr double kFirstRetryPause_s = 0.0005;

}  // namespace

InPortWriter::InPortWriter(Session& session, FoundPort found, const PortAddress& address,
                           const std::string& purpose, bool littleEndian)
    : found_(std::move(found)), label_(rtctl::label(address)), purpose_(purpose) {
  requirePortType(found_, address, kDataInPort);
  dataType_ = property(found_.info, kDataTypeKey);
  const std::string name = "rtctl." + purpose;
  RTC::PortService_var own =
      activateServant<RTC::PortService>(session, new PeerPort(name, kDataOutPort, {}));
  RTC::ConnectorProfile profile =
      ownConnectorProfile(name, found_.port, own, dataType_, littleEndian);
  const std::string what = purpose + " " + label_;
  try {
    checkReturn(what + ": connect", found_.port->connect(profile));
    connectorId_ = profile.connector_id.in();
    littleEndian_ = connectorIsLittleEndian(profile);
    std::string ior = stringProperty(profile.properties, kInPortIorKey);
    if (!ior.empty()) {
      CORBA::Object_var object = session.orb()->string_to_object(ior.c_str());
      inPort_ = OpenRTM::InPortCdr::_narrow(object);
    }
    for (CORBA::ULong i = 0; CORBA::is_nil(inPort_) && i < profile.properties.length(); ++i) {
      CORBA::Object_var object;
      if (std::string(kInPortRefKey) == profile.properties[i].name.in() &&
          (profile.properties[i].value >>= CORBA::Any::to_object(object.out()))) {
        inPort_ = OpenRTM::InPortCdr::_narrow(object);
      }
    }
  } catch (const CORBA::Exception& error) {
    if (!connectorId_.empty()) disconnectQuietly(found_.port, connectorId_.c_str());
    throw Failure(Session::explain(what, error));
  }
  if (CORBA::is_nil(inPort_)) {
    disconnectQuietly(found_.port, connectorId_.c_str());
    throw Failure(what + ": the in-port published no corba_cdr interface");
  }
}

InPortWriter::~InPortWriter() { disconnectQuietly(found_.port, connectorId_.c_str()); }

bool InPortWriter::write(const port_data::Bytes& octets) {
  OpenRTM::CdrData data;
  data.length(static_cast<CORBA::ULong>(octets.size()));
  if (!octets.empty()) std::memcpy(data.get_buffer(), octets.data(), octets.size());
  const auto giveUp = std::chrono::steady_clock::now() +
                      std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                          std::chrono::duration<double>(kFullInPortPatience_s));
  double pause_s = kFirstRetryPause_s;
  const std::string what = purpose_ + " " + label_;
  while (true) {
    OpenRTM::PortStatus status = OpenRTM::PORT_OK;
    try {
      status = inPort_->put(data);
    } catch (const CORBA::Exception& error) {
      throw Failure(Session::explain(what, error));
    }
    if (status == OpenRTM::PORT_OK) return true;
    if (status != OpenRTM::BUFFER_FULL && status != OpenRTM::BUFFER_TIMEOUT) {
      throw Failure(what + ": the in-port answered " + portStatusName(status));
    }
    if (stopRequested) return false;
    if (std::chrono::steady_clock::now() > giveUp) {
      throw Failure(what + ": the in-port stayed full for " +
                    std::to_string(static_cast<int>(kFullInPortPatience_s)) + " s (" +
                    portStatusName(status) + ")");
    }
    ++retries_;
    std::this_thread::sleep_for(std::chrono::duration<double>(pause_s));
    pause_s = std::min(pause_s * 2, kLongestRetryPause_s);
  }
}

}  // namespace rtctl
