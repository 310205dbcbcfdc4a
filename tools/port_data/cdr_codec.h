#pragma once
// Samples as the CDR octets data ports carry them: the struct marshalled from offset 0 with no
// byte-order octet, aligned relative to offset 0, in the byte order the connection agreed on.
#include <cstddef>
#include <cstdint>

#include "outcome.h"
#include "sample_value.h"

namespace port_data {

// The value the octets hold; a failure names what does not fit (too short, bytes left over,
// a string without its terminating NUL...).
Outcome<Value> decodeSample(const TypeDesc& type, const std::uint8_t* octets, size_t length,
                            bool littleEndian = true);
Outcome<Value> decodeSample(const TypeDesc& type, const Bytes& octets, bool littleEndian = true);

// The octets of a value that follows the type (as decodeSample and the parsers make them).
Bytes encodeSample(const TypeDesc& type, const Value& value, bool littleEndian = true);

}  // namespace port_data
