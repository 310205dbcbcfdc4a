#include "sample_value.h"

#include <limits>

namespace port_data {

Value defaultValue(const TypeDesc& type) {
  switch (type.kind) {
    case Kind::Boolean:
      return Value{false};
    case Kind::Float:
    case Kind::Double:
      return Value{0.0};
    case Kind::String:
      return Value{std::string()};
    case Kind::Sequence:
      return type.isByteBlock() ? Value{Bytes()} : Value{Value::Items()};
    case Kind::Struct: {
      Value::Items fields;
      for (const Field& field : type.fields) fields.push_back(defaultValue(*field.type));
      return Value{std::move(fields)};
    }
    default:
      return Value{std::int64_t{0}};
  }
}

const Value* fieldOf(const TypeDesc& type, const Value& value, const std::string& name) {
  for (size_t i = 0; i < type.fields.size(); ++i) {
    if (type.fields[i].name == name) return &value.items()[i];
  }
  return nullptr;
}

Value timeValue(std::uint32_t sec, std::uint32_t nsec) {
  return Value{Value::Items{Value{std::int64_t{sec}}, Value{std::int64_t{nsec}}}};
}

std::int64_t integerMin(Kind kind) {
  switch (kind) {
    case Kind::Short:
      return std::numeric_limits<std::int16_t>::min();
    case Kind::Long:
      return std::numeric_limits<std::int32_t>::min();
    default:
      return 0;
  }
}

std::int64_t integerMax(Kind kind) {
  switch (kind) {
    case Kind::Char:
      return std::numeric_limits<std::uint8_t>::max();
    case Kind::Octet:
      return std::numeric_limits<std::uint8_t>::max();
    case Kind::Short:
      return std::numeric_limits<std::int16_t>::max();
    case Kind::UShort:
      return std::numeric_limits<std::uint16_t>::max();
    case Kind::Long:
      return std::numeric_limits<std::int32_t>::max();
    case Kind::ULong:
      return std::numeric_limits<std::uint32_t>::max();
    default:
      return 0;
  }
}

}  // namespace port_data
