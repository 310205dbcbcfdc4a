#include "CdrCodec.h"

#include <omniORB4/codeSets.h>

namespace RTC {
namespace {
constexpr CORBA::ULong kIso8859_1 = 0x00010001;

// The stream keeps its native converter protected; a member pointer named through a
// derived class reads it without touching the object's layout.
struct NativeConverterAccess : cdrStream {
  static omni::omniCodeSet::NCS_C* of(cdrStream& stream) {
    return stream.*(&NativeConverterAccess::pd_ncs_c);
  }
};
}  // namespace

bool charsAreOctets(cdrStream& stream) {
  omni::omniCodeSet::NCS_C* native = NativeConverterAccess::of(stream);
  omni::omniCodeSet::TCS_C* transmission = stream.TCS_C();
  if (native == nullptr || native->id() != kIso8859_1) return false;
  return transmission == nullptr || transmission->id() == kIso8859_1;
}

void marshalCharBlock(const _CORBA_Sequence_Char& chars, cdrStream& stream) {
  const CORBA::ULong length = chars.length();
  length >>= stream;
  if (length == 0) return;
  if (!charsAreOctets(stream)) {
    for (CORBA::ULong i = 0; i < length; ++i) stream.marshalChar(chars[i]);
    return;
  }
  stream.put_octet_array(reinterpret_cast<const CORBA::Octet*>(&chars[0]),
                         static_cast<int>(length));
}

void unmarshalCharBlock(_CORBA_Sequence_Char& chars, cdrStream& stream) {
  CORBA::ULong length;
  length <<= stream;
  if (!stream.checkInputOverrun(1, length)) _CORBA_marshal_sequence_range_check_error(stream);
  chars.length(length);
  if (length == 0) return;
  if (!charsAreOctets(stream)) {
    for (CORBA::ULong i = 0; i < length; ++i) chars[i] = stream.unmarshalChar();
    return;
  }
  stream.get_octet_array(reinterpret_cast<CORBA::Octet*>(&chars[0]), static_cast<int>(length));
}

void setStreamByteOrder(cdrMemoryStream& stream, bool little_endian) {
  stream.setByteSwapFlag(little_endian);
}

}  // namespace RTC
