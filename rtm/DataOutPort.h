// A typed data out-port: write() marshals the bound variable (or the given value) once
// and pushes it to every connected in-port.
#pragma once

#include <rtm/CdrCodec.h>
#include <rtm/OutPortBase.h>
#include <rtm/TypeName.h>

namespace RTC {

template <class T>
class OutPort : public OutPortBase {
 public:
  OutPort(const char* name, T& value) : OutPortBase(name, repositoryIdOf<T>()), m_value(value) {}

  // False when any connection failed; see OutPortBase for time-outs and lost readers.
  bool write() { return write(m_value); }
  bool write(T& value) {
    const T& sample = value;
    return writeSample([&sample](cdrStream& stream) { CdrCodec<T>::marshal(sample, stream); });
  }
  bool operator<<(T& value) { return write(value); }

 private:
  T& m_value;
};

}  // namespace RTC
