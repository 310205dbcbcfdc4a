#pragma once
// TimedString and TimedStringSeq samples as the CDR octets data ports carry: the struct
// marshalled from offset 0 without a byte-order octet, little-endian unless told otherwise.
#include <DataPort.hh>

#include <optional>
#include <string>
#include <vector>

namespace rtctl {

enum class StringSampleType { TimedString, TimedStringSeq };

// The sample type for a port's dataport.data_type ("IDL:RTC/TimedString:1.0", or the bare
// type name older tools use); empty for any other type.
std::optional<StringSampleType> stringSampleTypeOf(const std::string& dataType);

// One sample holding text (TimedStringSeq: one element), stamped sec/nsec.
OpenRTM::CdrData encodeStringSample(StringSampleType type, const std::string& text,
                                    unsigned long sec, unsigned long nsec,
                                    bool littleEndian = true);

// The strings of one sample, or empty when the octets are not such a sample.
std::optional<std::vector<std::string>> decodeStringSample(StringSampleType type,
                                                           const OpenRTM::CdrData& data,
                                                           bool littleEndian = true);

}  // namespace rtctl
