#pragma once
// A sample as one readable line, and back:
//
//   tm: 1712345678.000000001, id: [], data: {vx: 0.3 m/s, vy: 0 m/s, va: -0.1 rad/s}, error: []
//
// The top-level struct's fields without braces, nested structs in braces, sequences in
// brackets; field names as in the IDL; numbers exact (the shortest text that reads back to the
// same value) and followed by the unit that the IDL's comments give; RTC::Time as one stamp,
// seconds and nine digits of nanoseconds. Strings and characters are quoted with C escapes.
// Blocks of bytes (sequences of char or octet) up to kInlineBytes are written in hexadecimal
// (0x00ff10); longer ones are summarised as <480000 bytes crc32 1a2b3c4d>.
//
// The words of the system keep their own form: a RTC::TimedString is its text as it stands,
// a RTC::TimedStringSeq its elements separated by tabs.
//
// When parsing, fields may come in any order and may be left out (they are zero, empty or, for
// the top-level time stamp, ParseOptions::stamp); a unit, where one is written, must be the
// field's own, so that "300 mm/s" is refused instead of being taken as 300 m/s.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "outcome.h"
#include "sample_value.h"

namespace port_data {

// Blocks of bytes up to this size are written out; longer ones summarised with a checksum.
inline constexpr size_t kInlineBytes = 32;

// The CRC-32 (as zlib and PNG compute it) of a block of bytes.
std::uint32_t crc32Of(const Bytes& bytes);
// "<480000 bytes crc32 1a2b3c4d>".
std::string blockSummary(const Bytes& bytes);

// The line of a sample.
std::string formatLine(const TypeDesc& type, const Value& value);

struct ParseOptions {
  // The time stamp of a sample whose line gives none (rtctl puts the current time here).
  std::uint32_t stampSec = 0;
  std::uint32_t stampNsec = 0;
  // Gives the bytes behind a summarised block <size bytes crc32 crc>; empty when it cannot.
  std::function<std::optional<Bytes>(size_t size, std::uint32_t crc)> findBlock;
};

// The sample a line describes, or what is wrong with the line (with the field and column).
Outcome<Value> parseLine(const TypeDesc& type, std::string_view line,
                         const ParseOptions& options = {});

// True for the types whose line is their text: RTC::TimedString and RTC::TimedStringSeq.
bool isWordType(const TypeDesc& type);

}  // namespace port_data
