#pragma once
// Distinctive sample values of any type of the table, for round trips: every number differs
// from its neighbours and from zero, every sequence has two elements, every text is marked.
#include <cmath>
#include <string>

#include "tools/port_data/sample_value.h"

namespace port_data {

inline Value sampleValue(const TypeDesc& type, int& seed) {
  ++seed;
  switch (type.kind) {
    case Kind::Boolean:
      return Value{seed % 2 == 0};
    case Kind::Char:
      return Value{std::int64_t{'A' + seed % 26}};
    case Kind::Octet:
      return Value{std::int64_t{200 + seed % 50}};
    case Kind::Short:
      return Value{std::int64_t{-1000 - seed}};
    case Kind::UShort:
      return Value{std::int64_t{60000 + seed}};
    case Kind::Long:
      return Value{std::int64_t{-100000 - seed}};
    case Kind::ULong:
      return Value{std::int64_t{4000000000LL + seed}};
    case Kind::Float:
      return Value{double(float(seed * 0.1f + 0.3f))};
    case Kind::Double:
      return Value{std::ldexp(1.0, -seed) + seed * 1.1};
    case Kind::String:
      return Value{"text " + std::to_string(seed) + " \"quoted\""};
    case Kind::Struct: {
      if (type.isTime()) {
        return timeValue(static_cast<std::uint32_t>(1700000000 + seed),
                         static_cast<std::uint32_t>(seed * 1000 + 7));
      }
      Value::Items fields;
      for (const Field& field : type.fields) fields.push_back(sampleValue(*field.type, seed));
      return Value{std::move(fields)};
    }
    case Kind::Sequence: {
      if (type.isByteBlock()) {
        return Value{
            Bytes{static_cast<std::uint8_t>(seed), 0, 255, static_cast<std::uint8_t>(7 * seed)}};
      }
      Value::Items items;
      items.push_back(sampleValue(*type.element, seed));
      items.push_back(sampleValue(*type.element, seed));
      return Value{std::move(items)};
    }
  }
  return Value{};
}

inline Value sampleValue(const TypeDesc& type) {
  int seed = 0;
  return sampleValue(type, seed);
}

}  // namespace port_data
