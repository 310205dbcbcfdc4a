// A typed data in-port: samples pushed by connected out-ports wait in a buffer (8 by
// default; see InPortBase for what happens when it is full) and are unmarshalled into the
// bound variable by read(), on the reader's thread.
#pragma once

#include <rtm/CdrCodec.h>
#include <rtm/InPortBase.h>
#include <rtm/TypeName.h>

namespace RTC {

template <class T>
class InPort : public InPortBase {
 public:
  InPort(const char* name, T& value, int bufsize = 8, bool read_block = false,
         bool write_block = false, int read_timeout = 0, int write_timeout = 0)
      : InPortBase(name, repositoryIdOf<T>(), bufsize, read_block, write_block, read_timeout,
                   write_timeout),
        m_value(value) {}

  // Reads the oldest unread sample into the bound variable; false when there is none, or
  // when the sample's octets are not a T (one warning; the variable may then hold part
  // of that sample).
  bool read() {
    CdrSample sample;
    if (!takeOldest(sample)) return false;
    try {
      cdrMemoryStream stream(sample.octets.get(), sample.length);
      setStreamByteOrder(stream, sample.littleEndian);
      // Straight into the variable: a large sample is not copied a second time.
      CdrCodec<T>::unmarshal(m_value, stream);
      return true;
    } catch (const CORBA::SystemException& error) {
      RTC_LOG(m_log, WARN, "a received sample could not be read as %s (%s); dropped",
              dataType().c_str(), error._name());
      return false;
    }
  }

  T& value() { return m_value; }
  T& operator>>(T& rhs) {
    read();
    rhs = m_value;
    return m_value;
  }

 private:
  T& m_value;
};

}  // namespace RTC
