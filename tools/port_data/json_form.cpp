#include "json_form.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace port_data {

namespace {

using Json = nlohmann::ordered_json;

const char* const kBase64Digits =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

Json toJson(const TypeDesc& type, const Value& value) {
  switch (type.kind) {
    case Kind::Boolean:
      return value.asBool();
    case Kind::Float:
    case Kind::Double: {
      double number = value.asNumber();
      if (std::isnan(number)) return "nan";
      if (std::isinf(number)) return number > 0 ? "inf" : "-inf";
      if (type.kind == Kind::Float) {
        // The double nearest to the float's shortest text, so that 0.1f is written 0.1 and not
        // 0.10000000149011612; it reads back to the same float.
        char text[32];
        std::to_chars_result written = std::to_chars(text, text + sizeof text, float(number));
        *written.ptr = '\0';
        return std::strtod(text, nullptr);
      }
      return number;
    }
    case Kind::String:
      return value.asString();
    case Kind::Struct: {
      Json object = Json::object();
      for (size_t i = 0; i < type.fields.size(); ++i) {
        object[type.fields[i].name] = toJson(*type.fields[i].type, value.items()[i]);
      }
      return object;
    }
    case Kind::Sequence: {
      if (type.isByteBlock()) return base64Encode(value.asBytes());
      Json array = Json::array();
      for (const Value& item : value.items()) array.push_back(toJson(*type.element, item));
      return array;
    }
    default:
      return value.asInteger();
  }
}

struct JsonFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string& path, const std::string& what) {
  throw JsonFailure((path.empty() ? "" : path + ": ") + what);
}

std::string join(const std::string& path, const std::string& name) {
  return path.empty() ? name : path + "." + name;
}

Value fromJson(const TypeDesc& type, const Json& json, const std::string& path,
               std::uint32_t stampSec, std::uint32_t stampNsec) {
  switch (type.kind) {
    case Kind::Boolean:
      if (!json.is_boolean()) fail(path, "expected true or false");
      return Value{json.get<bool>()};
    case Kind::Float:
    case Kind::Double: {
      if (json.is_string()) {
        const std::string word = json.get<std::string>();
        if (word == "nan") return Value{std::nan("")};
        if (word == "inf") return Value{HUGE_VAL};
        if (word == "-inf") return Value{-HUGE_VAL};
      }
      if (!json.is_number()) fail(path, "expected a number");
      double number = json.get<double>();
      return Value{type.kind == Kind::Float ? double(float(number)) : number};
    }
    case Kind::String:
      if (!json.is_string()) fail(path, "expected a string");
      return Value{json.get<std::string>()};
    case Kind::Struct: {
      if (!json.is_object()) fail(path, "expected an object with the fields of " + type.name);
      Value value = defaultValue(type);
      for (auto member = json.begin(); member != json.end(); ++member) {
        size_t index = 0;
        while (index < type.fields.size() && type.fields[index].name != member.key()) ++index;
        if (index == type.fields.size())
          fail(path, type.name + " has no field \"" + member.key() + "\"");
        value.items()[index] =
            fromJson(*type.fields[index].type, member.value(), join(path, member.key()), 0, 0);
      }
      for (size_t i = 0; i < type.fields.size(); ++i) {
        if (path.empty() && type.fields[i].type->isTime() && !json.contains(type.fields[i].name)) {
          value.items()[i] = timeValue(stampSec, stampNsec);
        }
      }
      return value;
    }
    case Kind::Sequence: {
      if (type.isByteBlock() && json.is_string()) {
        Outcome<Bytes> bytes = base64Decode(json.get<std::string>());
        if (!bytes) fail(path, bytes.error());
        return Value{bytes.value()};
      }
      if (!json.is_array())
        fail(path, type.isByteBlock() ? "expected base64 text" : "expected an array");
      if (type.isByteBlock()) {
        Bytes bytes;
        for (const Json& item : json) {
          if (!item.is_number_integer() || item.get<std::int64_t>() < 0 ||
              item.get<std::int64_t>() > 255) {
            fail(path, "expected bytes 0 to 255");
          }
          bytes.push_back(static_cast<std::uint8_t>(item.get<std::int64_t>()));
        }
        return Value{std::move(bytes)};
      }
      Value::Items items;
      for (const Json& item : json) {
        items.push_back(
            fromJson(*type.element, item, path + "[" + std::to_string(items.size()) + "]", 0, 0));
      }
      return Value{std::move(items)};
    }
    default: {
      if (!json.is_number_integer()) fail(path, "expected an integer");
      std::int64_t number = json.is_number_unsigned() && json.get<std::uint64_t>() > INT64_MAX
                                ? INT64_MAX
                                : json.get<std::int64_t>();
      if (number < integerMin(type.kind) || number > integerMax(type.kind)) {
        fail(path, std::to_string(number) + " is out of range (" +
                       std::to_string(integerMin(type.kind)) + " to " +
                       std::to_string(integerMax(type.kind)) + ")");
      }
      return Value{number};
    }
  }
}

}  // namespace

std::string formatJson(const TypeDesc& type, const Value& value) {
  return toJson(type, value).dump(-1, ' ', false, Json::error_handler_t::replace);
}

Outcome<Value> parseJson(const TypeDesc& type, std::string_view text, std::uint32_t stampSec,
                         std::uint32_t stampNsec) {
  Json json = Json::parse(text.begin(), text.end(), nullptr, false);
  if (json.is_discarded())
    return Outcome<Value>::failure("not JSON: " + std::string(text.substr(0, 40)));
  try {
    return Outcome<Value>::success(fromJson(type, json, "", stampSec, stampNsec));
  } catch (const JsonFailure& failure) {
    return Outcome<Value>::failure(failure.what());
  }
}

std::string base64Encode(const Bytes& bytes) {
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    std::uint32_t group = bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2];
    for (int shift = 18; shift >= 0; shift -= 6) text += kBase64Digits[(group >> shift) & 63];
  }
  size_t left = bytes.size() - i;
  if (left > 0) {
    std::uint32_t group = bytes[i] << 16 | (left == 2 ? bytes[i + 1] << 8 : 0);
    text += kBase64Digits[(group >> 18) & 63];
    text += kBase64Digits[(group >> 12) & 63];
    text += left == 2 ? kBase64Digits[(group >> 6) & 63] : '=';
    text += '=';
  }
  return text;
}

Outcome<Bytes> base64Decode(std::string_view text) {
  if (text.size() % 4 != 0)
    return Outcome<Bytes>::failure("base64 text of a length not a multiple of 4");
  Bytes bytes;
  bytes.reserve(text.size() / 4 * 3);
  for (size_t i = 0; i < text.size(); i += 4) {
    std::uint32_t group = 0;
    int padding = 0;
    for (size_t k = 0; k < 4; ++k) {
      char c = text[i + k];
      const char* digit = c ? std::strchr(kBase64Digits, c) : nullptr;
      bool pad = c == '=' && i + 4 == text.size() && k >= 2;
      if (!digit && !pad) return Outcome<Bytes>::failure("not base64: '" + std::string(1, c) + "'");
      if (pad)
        ++padding;
      else if (padding)
        return Outcome<Bytes>::failure("not base64: text after '='");
      group = group << 6 | (pad ? 0 : static_cast<std::uint32_t>(digit - kBase64Digits));
    }
    bytes.push_back(static_cast<std::uint8_t>(group >> 16));
    if (padding < 2) bytes.push_back(static_cast<std::uint8_t>(group >> 8));
    if (padding < 1) bytes.push_back(static_cast<std::uint8_t>(group));
  }
  return Outcome<Bytes>::success(std::move(bytes));
}

}  // namespace port_data
