#include "string_samples.h"

#include <omniORB4/cdrStream.h>
#include <BasicDataType.hh>

#include <cstring>

namespace rtctl {

namespace {

const char* const kTimedStringId = "IDL:RTC/TimedString:1.0";
const char* const kTimedStringSeqId = "IDL:RTC/TimedStringSeq:1.0";

OpenRTM::CdrData toOctets(cdrMemoryStream& stream) {
  OpenRTM::CdrData data;
  data.length(static_cast<CORBA::ULong>(stream.bufSize()));
  if (stream.bufSize()) std::memcpy(data.get_buffer(), stream.bufPtr(), stream.bufSize());
  return data;
}

}  // namespace

std::optional<StringSampleType> stringSampleTypeOf(const std::string& dataType) {
  if (dataType == kTimedStringId || dataType == "TimedString" || dataType == "RTC::TimedString") {
    return StringSampleType::TimedString;
  }
  if (dataType == kTimedStringSeqId || dataType == "TimedStringSeq" ||
      dataType == "RTC::TimedStringSeq") {
    return StringSampleType::TimedStringSeq;
  }
  return std::nullopt;
}

OpenRTM::CdrData encodeStringSample(StringSampleType type, const std::string& text,
                                    unsigned long sec, unsigned long nsec, bool littleEndian) {
  cdrMemoryStream stream;
  stream.setByteSwapFlag(littleEndian);
  RTC::Time stamp;
  stamp.sec = static_cast<CORBA::ULong>(sec);
  stamp.nsec = static_cast<CORBA::ULong>(nsec);
  if (type == StringSampleType::TimedString) {
    RTC::TimedString sample;
    sample.tm = stamp;
    sample.data = text.c_str();
    sample >>= stream;
  } else {
    RTC::TimedStringSeq sample;
    sample.tm = stamp;
    sample.data.length(1);
    sample.data[0] = text.c_str();
    sample >>= stream;
  }
  return toOctets(stream);
}

std::optional<std::vector<std::string>> decodeStringSample(StringSampleType type,
                                                           const OpenRTM::CdrData& data,
                                                           bool littleEndian) {
  std::vector<CORBA::Octet> copy(data.get_buffer(), data.get_buffer() + data.length());
  try {
    cdrMemoryStream stream(copy.data(), copy.size());
    stream.setByteSwapFlag(littleEndian);
    std::vector<std::string> strings;
    if (type == StringSampleType::TimedString) {
      RTC::TimedString sample;
      sample <<= stream;
      strings.emplace_back(sample.data.in());
    } else {
      RTC::TimedStringSeq sample;
      sample <<= stream;
      for (CORBA::ULong i = 0; i < sample.data.length(); ++i)
        strings.emplace_back(sample.data[i].in());
    }
    return strings;
  } catch (const CORBA::SystemException&) {
    return std::nullopt;
  }
}

}  // namespace rtctl
