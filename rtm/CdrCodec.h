// How a data-port sample becomes CDR octets and back: plain CDR from offset 0, no
// byte-order octet, in the byte order the connection agreed on.
//
// Every IDL struct works through its generated marshaller. A type with a large char
// payload (an image's sequence<char>) may specialise CdrCodec to move those bytes as one
// block with marshalCharBlock/unmarshalCharBlock; the octets produced are the same.
#pragma once

#include <omniORB4/CORBA.h>

namespace RTC {

template <class T>
struct CdrCodec {
  static void marshal(const T& value, cdrStream& stream) { value >>= stream; }
  static void unmarshal(T& value, cdrStream& stream) { value <<= stream; }
};

// True when a char is written as the same single octet by the stream's code-set
// converters (native and transmission code sets both ISO-8859-1, or no transmission code
// set on a memory stream), so a char block may be copied as octets.
bool charsAreOctets(cdrStream& stream);

// A sequence<char> as the generated marshaller writes it (length, then each char), copying
// the chars as one block when charsAreOctets, else char by char.
void marshalCharBlock(const _CORBA_Sequence_Char& chars, cdrStream& stream);
void unmarshalCharBlock(_CORBA_Sequence_Char& chars, cdrStream& stream);

// Prepares a memory stream to write or read in the given byte order.
void setStreamByteOrder(cdrMemoryStream& stream, bool little_endian);

}  // namespace RTC
