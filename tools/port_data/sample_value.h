#pragma once
// One sample of any type of the table, decoded: a tree of values that follows the type's
// description (type_schema.h) member by member.
//
//   Boolean                      bool
//   Char, Octet, integers        std::int64_t
//   Float, Double                double (a float's value is exact in a double)
//   String                       std::string (the bytes as they travel)
//   sequence of char or octet    Bytes, one block
//   Struct                       Items, one per field in declaration order
//   other sequences              Items, one per element
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "type_schema.h"

namespace port_data {

using Bytes = std::vector<std::uint8_t>;

struct Value {
  using Items = std::vector<Value>;
  std::variant<bool, std::int64_t, double, std::string, Bytes, Items> data;

  bool asBool() const { return std::get<bool>(data); }
  std::int64_t asInteger() const { return std::get<std::int64_t>(data); }
  double asNumber() const { return std::get<double>(data); }
  const std::string& asString() const { return std::get<std::string>(data); }
  const Bytes& asBytes() const { return std::get<Bytes>(data); }
  const Items& items() const { return std::get<Items>(data); }
  Items& items() { return std::get<Items>(data); }

  bool operator==(const Value& other) const { return data == other.data; }
  bool operator!=(const Value& other) const { return !(*this == other); }
};

// The value a member of that type has when nothing sets it: zero, false, "", empty.
Value defaultValue(const TypeDesc& type);

// The field of a struct value by name; null when the type has no such field.
const Value* fieldOf(const TypeDesc& type, const Value& value, const std::string& name);

// An RTC::Time value.
Value timeValue(std::uint32_t sec, std::uint32_t nsec);

// The smallest and largest value an integer kind holds.
std::int64_t integerMin(Kind kind);
std::int64_t integerMax(Kind kind);

}  // namespace port_data
