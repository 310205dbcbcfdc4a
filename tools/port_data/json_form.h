#pragma once
// A sample as one line of JSON, for scripts, and back. Field names as in the IDL, in the IDL's
// order; RTC::Time as {"sec": ..., "nsec": ...}; numbers exact ("nan", "inf" and "-inf" as
// strings, which JSON has no number for); blocks of bytes (sequences of char or octet, such
// as an image's pixels) in base64, so that nothing is left out.
//
// When parsing, fields may be left out (zero, empty, or the given stamp for the top-level
// time stamp); a block may also be given as an array of numbers 0 to 255.
#include <cstdint>
#include <string>
#include <string_view>

#include "outcome.h"
#include "sample_value.h"

namespace port_data {

// The JSON text of a sample, on one line. Strings that are not UTF-8 have their bad bytes
// replaced (JSON text must be UTF-8).
std::string formatJson(const TypeDesc& type, const Value& value);

Outcome<Value> parseJson(const TypeDesc& type, std::string_view text, std::uint32_t stampSec = 0,
                         std::uint32_t stampNsec = 0);

std::string base64Encode(const Bytes& bytes);
Outcome<Bytes> base64Decode(std::string_view text);

}  // namespace port_data
