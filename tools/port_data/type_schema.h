#pragma once
// The data types that ports carry, described member by member as their IDL declares them, so
// that one piece of code can read, print, parse and write any of them. The table mirrors
// rtm/idl (module RTC) and idl/ (modules Pexa, Orvn, Zemla); a test compares it with the
// type codes the IDL compiler generates.
#include <string>
#include <utility>
#include <vector>

namespace port_data {

enum class Kind {
  Boolean,
  Char,
  Octet,
  Short,
  UShort,
  Long,
  ULong,
  Float,
  Double,
  String,
  Struct,
  Sequence
};

struct TypeDesc;

struct Field {
  Field(std::string name, const TypeDesc* type, std::string unit = "")
      : name(std::move(name)), type(type), unit(std::move(unit)) {}

  std::string name;
  const TypeDesc* type;
  // The unit the IDL's comments give ("m", "rad", "m/s", "rad/s"); empty when they give none.
  std::string unit;
};

struct TypeDesc {
  Kind kind = Kind::Long;
  // "double", "RTC::Pose2D", "sequence<long>".
  std::string name;
  // Structs: "IDL:RTC/Pose2D:1.0"; empty otherwise.
  std::string repositoryId;
  std::vector<Field> fields;          // Struct
  const TypeDesc* element = nullptr;  // Sequence

  // RTC::Time, which the text form writes as one time stamp "sec.nnnnnnnnn".
  bool isTime() const { return repositoryId == "IDL:RTC/Time:1.0"; }
  // A sequence of char or octet, held as one block of bytes.
  bool isByteBlock() const {
    return kind == Kind::Sequence && (element->kind == Kind::Char || element->kind == Kind::Octet);
  }
};

// The struct type a data type name means: a repository id ("IDL:Pexa/TimedPose2D:1.0"), a
// scoped name ("Pexa::TimedPose2D") or a bare name that only one module defines
// ("TimedString"). Null for any other name.
const TypeDesc* findType(const std::string& dataType);

// Every struct type the table knows, in declaration order: the Timed types that ports carry
// and the structs they are made of (RTC::OGMapConfig also comes back from the map service).
std::vector<const TypeDesc*> structTypes();

}  // namespace port_data
