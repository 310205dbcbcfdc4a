// The untyped part of a data in-port: the connection protocol of corba_cdr push and the
// buffer of received samples, still as CDR octets until the component reads them.
#pragma once

#include <rtm/PortBase.h>
#include <rtm/SampleBuffer.h>
#include <rtm/ThrottledReport.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>

namespace RTC {

// One received sample: the CDR octets exactly as they arrived, and their byte order.
struct CdrSample {
  struct Release {
    void operator()(CORBA::Octet* octets) const { OpenRTM::CdrData::freebuf(octets); }
  };
  std::unique_ptr<CORBA::Octet, Release> octets;
  CORBA::ULong length = 0;
  bool littleEndian = true;
};

class InPortCdrProvider;

class InPortBase : public PortBase {
 public:
  // The in-port keeps up to `buffer_length` unread samples. When they are all unread and
  // another arrives, the oldest is dropped unless `write_block`: then the writer's put
  // waits up to `write_timeout_ms` for the reader to make room and otherwise answers
  // BUFFER_TIMEOUT (BUFFER_FULL when the timeout is 0), so that a writer learns of every
  // sample not taken. Either way a warning names the port and counts the samples lost: at
  // the first, then at most once a second. With `read_block`, read() waits up to
  // `read_timeout_ms` for a sample.
  InPortBase(const char* name, const std::string& data_type, int buffer_length,
             bool read_block = false, bool write_block = false, int read_timeout_ms = 0,
             int write_timeout_ms = 0);
  ~InPortBase() override;

  // True when an unread sample is waiting.
  bool isNew() const { return !m_buffer.empty(); }
  bool isEmpty() const { return m_buffer.empty(); }
  size_t unreadCount() const { return m_buffer.size(); }
  size_t droppedCount() const { return m_buffer.droppedCount(); }
  const std::string& dataType() const { return m_dataType; }

  void deactivateObject() override;

  // Called by the connection's provider on an ORB thread; takes over the octets and
  // answers the writer.
  OpenRTM::PortStatus receive(CdrSample sample);

 protected:
  bool takeOldest(CdrSample& sample);

  ReturnCode_t publishInterfaces(ConnectorProfile& connector_profile) override;
  ReturnCode_t subscribeInterfaces(const ConnectorProfile& connector_profile) override;
  void unsubscribeInterfaces(const ConnectorProfile& connector_profile) override;
  void completeConnectorProfile(ConnectorProfile& connector_profile) override;

 private:
  const std::string m_dataType;
  SampleBuffer<CdrSample> m_buffer;
  const bool m_readBlock;
  const bool m_writeBlock;
  const std::chrono::milliseconds m_readTimeout;
  const std::chrono::milliseconds m_writeTimeout;
  ThrottledReport m_lossReport;
  std::mutex m_providersMutex;
  // Providers stay allocated until the port goes, so a put still running on an ORB thread
  // never meets a deleted servant; a disconnected one is only withdrawn from the ORB.
  std::map<std::string, std::unique_ptr<InPortCdrProvider>> m_providers;
  std::vector<std::unique_ptr<InPortCdrProvider>> m_retiredProviders;
};

// Checks the data-port properties both kinds of data port share: push over corba_cdr and
// one data type; fills in the type when the connection does not name one yet.
ReturnCode_t checkDataPortProperties(ConnectorProfile& connector_profile,
                                     const std::string& data_type, Logger& log);
// The byte order the connection agreed on: the first word of
// dataport.serializer.cdr.endian, little unless it says "big".
bool connectorIsLittleEndian(const ConnectorProfile& connector_profile);

}  // namespace RTC
