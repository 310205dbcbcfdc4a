#include "cdr_codec.h"

#include <cstring>
#include <stdexcept>

namespace port_data {

namespace {

constexpr bool kHostIsLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

size_t sizeOf(Kind kind) {
  switch (kind) {
    case Kind::Boolean:
    case Kind::Char:
    case Kind::Octet:
      return 1;
    case Kind::Short:
    case Kind::UShort:
      return 2;
    case Kind::Long:
    case Kind::ULong:
    case Kind::Float:
    case Kind::String:  // its length
    case Kind::Sequence:
      return 4;
    case Kind::Double:
      return 8;
    case Kind::Struct:
      return 1;
  }
  return 1;
}

// The smallest number of octets one element of the type takes, for checking a sequence's
// length against what is left before allocating it.
size_t minimumSize(const TypeDesc& type) {
  if (type.kind != Kind::Struct) return sizeOf(type.kind);
  size_t size = 0;
  for (const Field& field : type.fields) size += minimumSize(*field.type);
  return size == 0 ? 1 : size;
}

struct DecodeFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Reader {
 public:
  Reader(const std::uint8_t* octets, size_t length, bool littleEndian)
      : octets_(octets), length_(length), swap_(littleEndian != kHostIsLittleEndian) {}

  Value read(const TypeDesc& type) {
    switch (type.kind) {
      case Kind::Boolean: {
        std::uint8_t octet = scalar<std::uint8_t>();
        if (octet > 1) fail("a boolean of value " + std::to_string(octet));
        return Value{octet == 1};
      }
      case Kind::Char:
      case Kind::Octet:
        return Value{std::int64_t{scalar<std::uint8_t>()}};
      case Kind::Short:
        return Value{std::int64_t{scalar<std::int16_t>()}};
      case Kind::UShort:
        return Value{std::int64_t{scalar<std::uint16_t>()}};
      case Kind::Long:
        return Value{std::int64_t{scalar<std::int32_t>()}};
      case Kind::ULong:
        return Value{std::int64_t{scalar<std::uint32_t>()}};
      case Kind::Float:
        return Value{double{scalar<float>()}};
      case Kind::Double:
        return Value{scalar<double>()};
      case Kind::String:
        return Value{string()};
      case Kind::Struct: {
        Value::Items fields;
        fields.reserve(type.fields.size());
        for (const Field& field : type.fields) fields.push_back(read(*field.type));
        return Value{std::move(fields)};
      }
      case Kind::Sequence:
        return sequence(type);
    }
    return Value{};
  }

  size_t left() const { return length_ - at_; }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    throw DecodeFailure(what + " at octet " + std::to_string(at_));
  }

  void need(size_t count) const {
    if (count > left()) {
      fail("the sample ends after " + std::to_string(length_) + " octets; " +
           std::to_string(count) + " more were expected");
    }
  }

  void align(size_t size) {
    size_t aligned = (at_ + size - 1) / size * size;
    need(aligned - at_);
    at_ = aligned;
  }

  template <class T>
  T scalar() {
    align(sizeof(T));
    need(sizeof(T));
    std::uint8_t raw[sizeof(T)];
    std::memcpy(raw, octets_ + at_, sizeof(T));
    if (swap_) {
      for (size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(raw[i], raw[sizeof(T) - 1 - i]);
    }
    at_ += sizeof(T);
    T value;
    std::memcpy(&value, raw, sizeof(T));
    return value;
  }

  std::string string() {
    std::uint32_t length = scalar<std::uint32_t>();
    if (length == 0) fail("a string of length 0 (without its NUL)");
    need(length);
    if (octets_[at_ + length - 1] != 0) fail("a string without its terminating NUL");
    std::string text(reinterpret_cast<const char*>(octets_ + at_), length - 1);
    at_ += length;
    return text;
  }

  Value sequence(const TypeDesc& type) {
    std::uint32_t count = scalar<std::uint32_t>();
    const TypeDesc& element = *type.element;
    if (type.isByteBlock()) {
      need(count);
      Bytes block(octets_ + at_, octets_ + at_ + count);
      at_ += count;
      return Value{std::move(block)};
    }
    if (static_cast<std::uint64_t>(count) * minimumSize(element) > left()) {
      fail("a sequence of " + std::to_string(count) + " elements in " + std::to_string(left()) +
           " octets");
    }
    Value::Items items;
    items.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) items.push_back(read(element));
    return Value{std::move(items)};
  }

  const std::uint8_t* octets_;
  size_t length_;
  bool swap_;
  size_t at_ = 0;
};

class Writer {
 public:
  explicit Writer(bool littleEndian) : swap_(littleEndian != kHostIsLittleEndian) {}

  void write(const TypeDesc& type, const Value& value) {
    switch (type.kind) {
      case Kind::Boolean:
        scalar<std::uint8_t>(value.asBool() ? 1 : 0);
        return;
      case Kind::Char:
      case Kind::Octet:
        scalar(static_cast<std::uint8_t>(value.asInteger()));
        return;
      case Kind::Short:
        scalar(static_cast<std::int16_t>(value.asInteger()));
        return;
      case Kind::UShort:
        scalar(static_cast<std::uint16_t>(value.asInteger()));
        return;
      case Kind::Long:
        scalar(static_cast<std::int32_t>(value.asInteger()));
        return;
      case Kind::ULong:
        scalar(static_cast<std::uint32_t>(value.asInteger()));
        return;
      case Kind::Float:
        scalar(static_cast<float>(value.asNumber()));
        return;
      case Kind::Double:
        scalar(value.asNumber());
        return;
      case Kind::String: {
        const std::string& text = value.asString();
        scalar(static_cast<std::uint32_t>(text.size() + 1));
        octets_.insert(octets_.end(), text.begin(), text.end());
        octets_.push_back(0);
        return;
      }
      case Kind::Struct:
        for (size_t i = 0; i < type.fields.size(); ++i) {
          write(*type.fields[i].type, value.items()[i]);
        }
        return;
      case Kind::Sequence:
        if (type.isByteBlock()) {
          const Bytes& block = value.asBytes();
          scalar(static_cast<std::uint32_t>(block.size()));
          octets_.insert(octets_.end(), block.begin(), block.end());
          return;
        }
        scalar(static_cast<std::uint32_t>(value.items().size()));
        for (const Value& item : value.items()) write(*type.element, item);
        return;
    }
  }

  Bytes take() { return std::move(octets_); }

 private:
  template <class T>
  void scalar(T value) {
    octets_.resize((octets_.size() + sizeof(T) - 1) / sizeof(T) * sizeof(T), 0);
    std::uint8_t raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    if (swap_) {
      for (size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(raw[i], raw[sizeof(T) - 1 - i]);
    }
    octets_.insert(octets_.end(), raw, raw + sizeof(T));
  }

  bool swap_;
  Bytes octets_;
};

}  // namespace

Outcome<Value> decodeSample(const TypeDesc& type, const std::uint8_t* octets, size_t length,
                            bool littleEndian) {
  try {
    Reader reader(octets, length, littleEndian);
    Value value = reader.read(type);
    if (reader.left() != 0) {
      return Outcome<Value>::failure(std::to_string(reader.left()) + " of " +
                                     std::to_string(length) + " octets left over after a " +
                                     type.name);
    }
    return Outcome<Value>::success(std::move(value));
  } catch (const DecodeFailure& failure) {
    return Outcome<Value>::failure("not a " + type.name + ": " + failure.what());
  }
}

Outcome<Value> decodeSample(const TypeDesc& type, const Bytes& octets, bool littleEndian) {
  return decodeSample(type, octets.data(), octets.size(), littleEndian);
}

Bytes encodeSample(const TypeDesc& type, const Value& value, bool littleEndian) {
  Writer writer(littleEndian);
  writer.write(type, value);
  return writer.take();
}

}  // namespace port_data
