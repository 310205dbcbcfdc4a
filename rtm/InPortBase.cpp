#include "InPortBase.h"

#include <rtm/Manager.h>
#include <rtm/NVUtil.h>
#include <rtm/ServantActivation.h>

#include <coil/stringutil.h>

#include <algorithm>
#include <cstring>

namespace RTC {

// Receives the samples of one connection.
class InPortCdrProvider : public virtual POA_OpenRTM::InPortCdr {
 public:
  InPortCdrProvider(InPortBase& port, bool little_endian)
      : m_port(port), m_littleEndian(little_endian) {
    m_objectId = activateServant(this);
    CORBA::Object_var object = referenceOf(m_objectId.in());
    m_object = OpenRTM::InPortCdr::_narrow(object);
  }
  ~InPortCdrProvider() override = default;

  void withdraw() {
    if (m_objectId.operator->() == nullptr) return;
    deactivateServant(m_objectId.in());
    m_objectId = static_cast<PortableServer::ObjectId*>(nullptr);
  }
  OpenRTM::InPortCdr_ptr object() const { return m_object.in(); }

  OpenRTM::PortStatus put(const OpenRTM::CdrData& data) override {
    // The octets were unmarshalled into a sequence that this call owns; taking its buffer
    // saves copying the sample again.
    OpenRTM::CdrData& owned = const_cast<OpenRTM::CdrData&>(data);
    CdrSample sample;
    sample.length = owned.length();
    sample.littleEndian = m_littleEndian;
    CORBA::Octet* octets = owned.release() ? owned.get_buffer(true) : nullptr;
    if (octets == nullptr) {
      octets = OpenRTM::CdrData::allocbuf(sample.length ? sample.length : 1);
      if (sample.length > 0) std::memcpy(octets, data.get_buffer(), sample.length);
    }
    sample.octets.reset(octets);
    return m_port.receive(std::move(sample));
  }

 private:
  InPortBase& m_port;
  const bool m_littleEndian;
  PortableServer::ObjectId_var m_objectId;
  OpenRTM::InPortCdr_var m_object;
};

namespace {
constexpr const char* kDataType = "dataport.data_type";
constexpr const char* kInterfaceType = "dataport.interface_type";
constexpr const char* kDataflowType = "dataport.dataflow_type";
constexpr const char* kEndian = "dataport.serializer.cdr.endian";
constexpr const char* kInPortIor = "dataport.corba_cdr.inport_ior";
constexpr const char* kInPortRef = "dataport.corba_cdr.inport_ref";
// A full in-port reports its losses at most this often.
constexpr std::chrono::seconds kLossReportInterval{1};
}  // namespace

ReturnCode_t checkDataPortProperties(ConnectorProfile& connector_profile,
                                     const std::string& data_type, Logger& log) {
  SDOPackage::NVList& properties = connector_profile.properties;
  const std::string interface_type = NVUtil::toString(properties, kInterfaceType);
  if (!interface_type.empty() && interface_type != "corba_cdr") {
    RTC_LOG(log, WARN, "interface type \"%s\" is not supported; use corba_cdr",
            interface_type.c_str());
    return BAD_PARAMETER;
  }
  const std::string dataflow_type = NVUtil::toString(properties, kDataflowType);
  if (!dataflow_type.empty() && coil::toLower(dataflow_type) != "push") {
    RTC_LOG(log, WARN, "data flow type \"%s\" is not supported; use push", dataflow_type.c_str());
    return BAD_PARAMETER;
  }
  const std::string requested_type = NVUtil::toString(properties, kDataType);
  if (requested_type.empty()) {
    NVUtil::setString(properties, kDataType, data_type);
  } else if (requested_type != data_type) {
    RTC_LOG(log, WARN, "data type %s cannot connect to %s", data_type.c_str(),
            requested_type.c_str());
    return BAD_PARAMETER;
  }
  return RTC_OK;
}

bool connectorIsLittleEndian(const ConnectorProfile& connector_profile) {
  const std::vector<std::string> words =
      coil::split(NVUtil::toString(connector_profile.properties, kEndian), ",");
  return words.empty() || coil::toLower(words[0]) != "big";
}

InPortBase::InPortBase(const char* name, const std::string& data_type, int buffer_length,
                       bool read_block, bool write_block, int read_timeout_ms, int write_timeout_ms)
    : PortBase(name),
      m_dataType(data_type),
      m_buffer(buffer_length > 0 ? static_cast<size_t>(buffer_length) : 1),
      m_readBlock(read_block),
      m_writeBlock(write_block),
      m_readTimeout(std::max(read_timeout_ms, 0)),
      m_writeTimeout(std::max(write_timeout_ms, 0)),
      m_lossReport(kLossReportInterval) {
  setPortProperty("port.port_type", "DataInPort");
  setPortProperty(kDataType, m_dataType);
  setPortProperty(kInterfaceType, "corba_cdr");
  setPortProperty(kDataflowType, "push");
  setPortProperty("dataport.subscription_type", "Any");
}

InPortBase::~InPortBase() = default;

void InPortBase::deactivateObject() {
  m_buffer.close();
  {
    std::lock_guard<std::mutex> lock(m_providersMutex);
    for (auto& entry : m_providers) entry.second->withdraw();
  }
  PortBase::deactivateObject();
}

OpenRTM::PortStatus InPortBase::receive(CdrSample sample) {
  if (m_writeBlock) {
    if (m_buffer.pushWithin(std::move(sample), m_writeTimeout)) return OpenRTM::PORT_OK;
    if (m_lossReport.occurred(ThrottledReport::Clock::now()))
      RTC_LOG(m_log, WARN, "%s: buffer of %zu full; the writer was refused %zu samples so far",
              getName().c_str(), m_buffer.capacity(), m_lossReport.count());
    return m_writeTimeout.count() > 0 ? OpenRTM::BUFFER_TIMEOUT : OpenRTM::BUFFER_FULL;
  }
  if (m_buffer.push(std::move(sample)) && m_lossReport.occurred(ThrottledReport::Clock::now()))
    RTC_LOG(m_log, WARN, "%s: buffer of %zu full; %zu unread samples dropped so far",
            getName().c_str(), m_buffer.capacity(), m_lossReport.count());
  return OpenRTM::PORT_OK;
}

bool InPortBase::takeOldest(CdrSample& sample) {
  return m_readBlock ? m_buffer.popWithin(sample, m_readTimeout) : m_buffer.pop(sample);
}

void InPortBase::completeConnectorProfile(ConnectorProfile& connector_profile) {
  if (NVUtil::find_index(connector_profile.properties, kEndian) < 0)
    NVUtil::setString(connector_profile.properties, kEndian, "little,big");
}

ReturnCode_t InPortBase::publishInterfaces(ConnectorProfile& connector_profile) {
  ReturnCode_t check = checkDataPortProperties(connector_profile, m_dataType, m_log);
  if (check != RTC_OK) return check;
  const std::string id = static_cast<const char*>(connector_profile.connector_id);
  auto provider =
      std::make_unique<InPortCdrProvider>(*this, connectorIsLittleEndian(connector_profile));
  CORBA::ORB_var orb = Manager::instance().getORB();
  CORBA::String_var ior = orb->object_to_string(provider->object());
  NVUtil::setString(connector_profile.properties, kInPortIor, ior.in());
  if (NVUtil::find_index(connector_profile.properties, kInPortRef) < 0) {
    CORBA::Any reference;
    reference <<= provider->object();
    NVUtil::append(connector_profile.properties, kInPortRef, reference);
  }
  std::lock_guard<std::mutex> lock(m_providersMutex);
  auto existing = m_providers.find(id);
  if (existing != m_providers.end()) {
    existing->second->withdraw();
    m_retiredProviders.push_back(std::move(existing->second));
  }
  m_providers[id] = std::move(provider);
  return RTC_OK;
}

ReturnCode_t InPortBase::subscribeInterfaces(const ConnectorProfile&) { return RTC_OK; }

void InPortBase::unsubscribeInterfaces(const ConnectorProfile& connector_profile) {
  const std::string id = static_cast<const char*>(connector_profile.connector_id);
  std::lock_guard<std::mutex> lock(m_providersMutex);
  auto found = m_providers.find(id);
  if (found == m_providers.end()) return;
  found->second->withdraw();
  m_retiredProviders.push_back(std::move(found->second));
  m_providers.erase(found);
}

}  // namespace RTC
