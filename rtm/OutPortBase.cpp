#include "OutPortBase.h"

#include <rtm/CdrCodec.h>
#include <rtm/InPortBase.h>
#include <rtm/Manager.h>
#include <rtm/ManagerConfig.h>
#include <rtm/NVUtil.h>

#include <coil/stringutil.h>

namespace RTC {
namespace {
constexpr const char* kCallTimeout = "dataport.call_timeout_ms";
constexpr const char* kInPortIor = "dataport.corba_cdr.inport_ior";
constexpr const char* kInPortRef = "dataport.corba_cdr.inport_ref";
constexpr const char* kEndian = "dataport.serializer.cdr.endian";

DataPortStatus statusOf(OpenRTM::PortStatus status) {
  switch (status) {
    case OpenRTM::PORT_OK:
      return DataPortStatus::PORT_OK;
    case OpenRTM::PORT_ERROR:
      return DataPortStatus::PORT_ERROR;
    case OpenRTM::BUFFER_FULL:
      return DataPortStatus::BUFFER_FULL;
    case OpenRTM::BUFFER_EMPTY:
      return DataPortStatus::BUFFER_EMPTY;
    case OpenRTM::BUFFER_TIMEOUT:
      return DataPortStatus::BUFFER_TIMEOUT;
    default:
      return DataPortStatus::UNKNOWN_ERROR;
  }
}
}  // namespace

OutPortBase::OutPortBase(const char* name, const std::string& data_type)
    : PortBase(name), m_dataType(data_type) {
  setPortProperty("port.port_type", "DataOutPort");
  setPortProperty("dataport.data_type", m_dataType);
  setPortProperty("dataport.interface_type", "corba_cdr");
  setPortProperty("dataport.dataflow_type", "push");
  setPortProperty("dataport.subscription_type", "flush");
}

OutPortBase::~OutPortBase() = default;

DataPortStatusList OutPortBase::getStatusList() const {
  std::lock_guard<std::mutex> lock(m_writeMutex);
  return m_statusList;
}

size_t OutPortBase::connectionCount() const {
  std::lock_guard<std::mutex> lock(m_connectionsMutex);
  return m_connections.size();
}

std::vector<std::shared_ptr<OutPortBase::Connection>> OutPortBase::connectionsSnapshot() const {
  std::lock_guard<std::mutex> lock(m_connectionsMutex);
  return m_connections;
}

void OutPortBase::completeConnectorProfile(ConnectorProfile& connector_profile) {
  if (NVUtil::find_index(connector_profile.properties, kEndian) < 0)
    NVUtil::setString(connector_profile.properties, kEndian, "little,big");
}

ReturnCode_t OutPortBase::publishInterfaces(ConnectorProfile& connector_profile) {
  return checkDataPortProperties(connector_profile, m_dataType, m_log);
}

ReturnCode_t OutPortBase::subscribeInterfaces(const ConnectorProfile& connector_profile) {
  CORBA::Object_var object;
  const std::string ior = NVUtil::toString(connector_profile.properties, kInPortIor);
  try {
    if (ior.compare(0, 4, "IOR:") == 0) {
      CORBA::ORB_var orb = Manager::instance().getORB();
      object = orb->string_to_object(ior.c_str());
    } else {
      object = NVUtil::toObject(connector_profile.properties, kInPortRef);
    }
  } catch (const CORBA::SystemException& error) {
    RTC_LOG(m_log, WARN, "the reader's reference is unusable (%s)", error._name());
    return BAD_PARAMETER;
  }
  if (CORBA::is_nil(object)) {
    RTC_LOG(m_log, WARN, "connector %s names no reader to push to",
            static_cast<const char*>(connector_profile.connector_id));
    return BAD_PARAMETER;
  }
  auto connection = std::make_shared<Connection>();
  connection->id = static_cast<const char*>(connector_profile.connector_id);
  connection->reader = OpenRTM::InPortCdr::_unchecked_narrow(object);
  connection->littleEndian = connectorIsLittleEndian(connector_profile);

  unsigned long timeout_ms = 0;
  std::string timeout_text = NVUtil::toString(connector_profile.properties, kCallTimeout);
  if (timeout_text.empty())
    timeout_text = Manager::instance().getConfig().getProperty(kCallTimeout);
  if (!coil::stringTo(timeout_ms, timeout_text.c_str()))
    RTC_LOG(m_log, WARN, "%s \"%s\" is not a number of milliseconds; no time-out", kCallTimeout,
            timeout_text.c_str());
  if (timeout_ms > 0) omniORB::setClientCallTimeout(connection->reader, timeout_ms);

  std::lock_guard<std::mutex> lock(m_connectionsMutex);
  for (auto& existing : m_connections) {
    if (existing->id == connection->id) {
      existing = connection;
      return RTC_OK;
    }
  }
  m_connections.push_back(connection);
  return RTC_OK;
}

void OutPortBase::unsubscribeInterfaces(const ConnectorProfile& connector_profile) {
  const std::string id = static_cast<const char*>(connector_profile.connector_id);
  std::lock_guard<std::mutex> lock(m_connectionsMutex);
  for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
    if ((*it)->id == id) {
      m_connections.erase(it);
      return;
    }
  }
}

void OutPortBase::dropLost(const std::shared_ptr<Connection>& connection, const char* reason) {
  {
    std::lock_guard<std::mutex> lock(m_connectionsMutex);
    bool found = false;
    for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
      if (*it == connection) {
        m_connections.erase(it);
        found = true;
        break;
      }
    }
    if (!found) return;
  }
  dropConnection(connection->id);
  RTC_LOG(m_log, WARN,
          "connection %s lost (%s): the reader is gone or does not answer; "
          "connection dropped",
          connection->id.c_str(), reason);
}

bool OutPortBase::writeSample(const std::function<void(cdrStream&)>& marshal) {
  std::lock_guard<std::mutex> write_lock(m_writeMutex);
  m_statusList.clear();
  const auto connections = connectionsSnapshot();
  if (connections.empty()) return true;

  // At most one marshalled copy per byte order.
  bool marshalled[2] = {false, false};
  bool all_ok = true;
  for (const auto& connection : connections) {
    const int order = connection->littleEndian ? 0 : 1;
    std::unique_ptr<cdrMemoryStream>& stream = m_streams[order];
    if (!marshalled[order]) {
      if (!stream) {
        stream = std::make_unique<cdrMemoryStream>();
        setStreamByteOrder(*stream, connection->littleEndian);
      }
      stream->rewindPtrs();
      try {
        marshal(*stream);
      } catch (const CORBA::SystemException& error) {
        RTC_LOG(m_log, ERROR, "the sample cannot be marshalled (%s); not sent", error._name());
        m_statusList.assign(connections.size(), DataPortStatus::PORT_ERROR);
        return false;
      }
      marshalled[order] = true;
    }
    const CORBA::ULong length = stream->bufSize();
    OpenRTM::CdrData data(length, length, static_cast<CORBA::Octet*>(stream->bufPtr()), false);
    DataPortStatus status;
    try {
      status = statusOf(connection->reader->put(data));
    } catch (const CORBA::SystemException& error) {
      status = DataPortStatus::CONNECTION_LOST;
      dropLost(connection, error._name());
    }
    if (status != DataPortStatus::PORT_OK) all_ok = false;
    m_statusList.push_back(status);
  }
  return all_ok;
}

}  // namespace RTC
