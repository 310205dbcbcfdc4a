#include "type_schema.h"

#include <deque>
#include <map>

namespace port_data {

namespace {

// The units that the comment of ExtendedDataTypes.idl gives: lengths in metres, angles in
// radians, speeds in metres and radians per second.
const char* const kMetre = "m";
const char* const kRadian = "rad";
const char* const kMetrePerSecond = "m/s";
const char* const kRadianPerSecond = "rad/s";

class TypeTable {
 public:
  TypeTable() {
    declarePrimitives();
    declareBasicTypes();
    declareExtendedTypes();
    declareInterfaceTypes();
    declarePexa();
    declareOrvn();
    declareZemla();
  }

  const TypeDesc* find(const std::string& dataType) const {
    auto byId = byId_.find(dataType);
    if (byId != byId_.end()) return byId->second;
    auto scoped = byScopedName_.find(dataType);
    if (scoped != byScopedName_.end()) return scoped->second;
    auto bare = byBareName_.find(dataType);
    if (bare != byBareName_.end() && bare->second.size() == 1) return bare->second.front();
    return nullptr;
  }

  const std::vector<const TypeDesc*>& structs() const { return structs_; }

 private:
  const TypeDesc* primitive(Kind kind, const std::string& name) {
    TypeDesc& type = storage_.emplace_back();
    type.kind = kind;
    type.name = name;
    primitives_[name] = &type;
    return &type;
  }

  const TypeDesc* type(const std::string& name) const {
    auto found = primitives_.find(name);
    if (found != primitives_.end()) return found->second;
    return byScopedName_.at(name);
  }

  const TypeDesc* sequenceOf(const TypeDesc* element) {
    auto found = sequences_.find(element);
    if (found != sequences_.end()) return found->second;
    TypeDesc& type = storage_.emplace_back();
    type.kind = Kind::Sequence;
    type.name = "sequence<" + element->name + ">";
    type.element = element;
    sequences_[element] = &type;
    return &type;
  }

  // module "RTC", name "Pose2D": "RTC::Pose2D", "IDL:RTC/Pose2D:1.0".
  const TypeDesc* declare(const std::string& module, const std::string& name,
                          std::vector<Field> fields) {
    TypeDesc& type = storage_.emplace_back();
    type.kind = Kind::Struct;
    type.name = module + "::" + name;
    type.repositoryId = "IDL:" + module + "/" + name + ":1.0";
    type.fields = std::move(fields);
    byId_[type.repositoryId] = &type;
    byScopedName_[type.name] = &type;
    byBareName_[name].push_back(&type);
    structs_.push_back(&type);
    return &type;
  }

  // A Timed type of the middleware: { Time tm; <data> data; }.
  void timed(const std::string& name, const TypeDesc* data) {
    declare("RTC", name, {{"tm", time_}, {"data", data}});
  }

  void declarePrimitives() {
    primitive(Kind::Boolean, "boolean");
    primitive(Kind::Char, "char");
    primitive(Kind::Octet, "octet");
    primitive(Kind::Short, "short");
    primitive(Kind::UShort, "unsigned short");
    primitive(Kind::Long, "long");
    primitive(Kind::ULong, "unsigned long");
    primitive(Kind::Float, "float");
    primitive(Kind::Double, "double");
    primitive(Kind::String, "string");
  }

  // BasicDataType.idl. The wide-character types are left out: a data port's CDR stream has
  // no wide code set, so the middleware cannot carry them.
  void declareBasicTypes() {
    const TypeDesc* ulong = type("unsigned long");
    time_ = declare("RTC", "Time", {{"sec", ulong}, {"nsec", ulong}});
    const std::vector<std::pair<std::string, std::string>> basic = {
        {"State", "short"},           {"Short", "short"},         {"Long", "long"},
        {"UShort", "unsigned short"}, {"ULong", "unsigned long"}, {"Float", "float"},
        {"Double", "double"},         {"Char", "char"},           {"Boolean", "boolean"},
        {"Octet", "octet"},           {"String", "string"}};
    for (const auto& [name, element] : basic) timed("Timed" + name, type(element));
    for (const auto& [name, element] : basic) {
      if (name != "State") timed("Timed" + name + "Seq", sequenceOf(type(element)));
    }
  }

  // ExtendedDataTypes.idl.
  void declareExtendedTypes() {
    const TypeDesc* d = type("double");
    auto doubles = [d](std::vector<std::string> names, const std::string& unit) {
      std::vector<Field> fields;
      for (auto& name : names) fields.push_back({name, d, unit});
      return fields;
    };
    declare("RTC", "RGBColour", doubles({"r", "g", "b"}, ""));
    declare("RTC", "Point2D", doubles({"x", "y"}, kMetre));
    declare("RTC", "Vector2D", doubles({"x", "y"}, ""));
    declare("RTC", "Pose2D", {{"position", type("RTC::Point2D")}, {"heading", d, kRadian}});
    declare("RTC", "Velocity2D",
            {{"vx", d, kMetrePerSecond}, {"vy", d, kMetrePerSecond}, {"va", d, kRadianPerSecond}});
    declare("RTC", "Acceleration2D", doubles({"ax", "ay"}, ""));
    declare("RTC", "PoseVel2D",
            {{"pose", type("RTC::Pose2D")}, {"velocities", type("RTC::Velocity2D")}});
    declare("RTC", "Size2D", doubles({"l", "w"}, kMetre));
    declare("RTC", "Geometry2D", {{"pose", type("RTC::Pose2D")}, {"size", type("RTC::Size2D")}});
    declare("RTC", "Covariance2D", doubles({"xx", "xy", "xt", "yy", "yt", "tt"}, ""));
    declare("RTC", "Point3D", doubles({"x", "y", "z"}, kMetre));
    declare("RTC", "Vector3D", doubles({"x", "y", "z"}, ""));
    declare("RTC", "Orientation3D", doubles({"r", "p", "y"}, kRadian));
    declare("RTC", "Pose3D",
            {{"position", type("RTC::Point3D")}, {"orientation", type("RTC::Orientation3D")}});
    declare("RTC", "Velocity3D",
            {{"vx", d, kMetrePerSecond},
             {"vy", d, kMetrePerSecond},
             {"vz", d, kMetrePerSecond},
             {"vr", d, kRadianPerSecond},
             {"vp", d, kRadianPerSecond},
             {"va", d, kRadianPerSecond}});
    declare("RTC", "AngularVelocity3D", doubles({"avx", "avy", "avz"}, kRadianPerSecond));
    declare("RTC", "Acceleration3D", doubles({"ax", "ay", "az"}, ""));
    declare("RTC", "AngularAcceleration3D", doubles({"aax", "aay", "aaz"}, ""));
    declare("RTC", "Size3D", doubles({"l", "w", "h"}, kMetre));
    declare("RTC", "Geometry3D", {{"pose", type("RTC::Pose3D")}, {"size", type("RTC::Size3D")}});
    for (const char* name : {"RGBColour",      "Point2D",
                             "Vector2D",       "Pose2D",
                             "Velocity2D",     "Acceleration2D",
                             "PoseVel2D",      "Size2D",
                             "Geometry2D",     "Covariance2D",
                             "Point3D",        "Vector3D",
                             "Orientation3D",  "Pose3D",
                             "Velocity3D",     "AngularVelocity3D",
                             "Acceleration3D", "AngularAcceleration3D",
                             "Size3D",         "Geometry3D"}) {
      timed(std::string("Timed") + name, type(std::string("RTC::") + name));
    }
  }

  // InterfaceDataTypes.idl: metres per cell, the size in cells, the origin's pose.
  void declareInterfaceTypes() {
    const TypeDesc* ulong = type("unsigned long");
    declare("RTC", "OGMapConfig",
            {{"xScale", type("double"), kMetre},
             {"yScale", type("double"), kMetre},
             {"width", ulong},
             {"height", ulong},
             {"origin", type("RTC::Pose2D")}});
    const TypeDesc* cells = sequenceOf(type("octet"));
    declare(
        "RTC", "OGMapTile",
        {{"column", ulong}, {"row", ulong}, {"width", ulong}, {"height", ulong}, {"cells", cells}});
  }

  void declarePexa() {
    const TypeDesc* ids = sequenceOf(type("long"));
    const TypeDesc* errors = sequenceOf(type("double"));
    auto baseType = [&](const std::string& name, const TypeDesc* data) {
      declare("Pexa", name, {{"tm", time_}, {"id", ids}, {"data", data}, {"error", errors}});
    };
    baseType("TimedVelocity2D", type("RTC::Velocity2D"));
    baseType("TimedPose2D", type("RTC::Pose2D"));
    baseType("TimedPoseVel2DSeq", sequenceOf(type("RTC::PoseVel2D")));
    baseType("TimedPose2DSeq", sequenceOf(type("RTC::Pose2D")));
  }

  void declareOrvn() {
    const TypeDesc* l = type("long");
    declare("Orvn", "ImageData",
            {{"nChannels", l},
             {"depth", l},
             {"origin", l},
             {"width", l},
             {"height", l},
             {"imageSize", l},
             {"imgData", sequenceOf(type("char"))},
             {"widthStep", l}});
    declare("Orvn", "TimedImageData", {{"tm", time_}, {"data", type("Orvn::ImageData")}});
  }

  void declareZemla() {
    const TypeDesc* pose = type("RTC::Pose2D");
    const TypeDesc* config = type("RTC::OGMapConfig");
    const TypeDesc* octetCells = sequenceOf(type("octet"));
    const TypeDesc* floatCells = sequenceOf(type("float"));
    declare("Zemla", "TimedEstimatedPose2D",
            {{"tm", time_},
             {"id", sequenceOf(type("long"))},
             {"ododata", pose},
             {"estdata", pose},
             {"error", sequenceOf(type("double"))}});
    declare("Zemla", "TimedAbsoluteOGMapData",
            {{"tm", time_}, {"mapconfig", config}, {"cells", octetCells}});
    declare("Zemla", "TimedFloatAbsoluteOGMapData",
            {{"tm", time_}, {"mapconfig", config}, {"cells", floatCells}});
    declare("Zemla", "TimedRelativeOGMapData",
            {{"tm", time_}, {"mapconfig", config}, {"cells", octetCells}, {"pose", pose}});
    declare("Zemla", "TimedFloatRelativeOGMapData",
            {{"tm", time_}, {"mapconfig", config}, {"cells", floatCells}, {"pose", pose}});
    declare("Zemla", "PersonData",
            {{"position", type("RTC::Point3D")}, {"velocity", type("RTC::Velocity2D")}});
    declare("Zemla", "PeopleTrackingData",
            {{"id", type("long")}, {"person", sequenceOf(type("Zemla::PersonData"))}});
    declare("Zemla", "TimedPeopleTrackingData",
            {{"tm", time_}, {"data", type("Zemla::PeopleTrackingData")}});
  }

  std::deque<TypeDesc> storage_;
  std::map<std::string, const TypeDesc*> primitives_;
  std::map<const TypeDesc*, const TypeDesc*> sequences_;
  std::map<std::string, const TypeDesc*> byId_;
  std::map<std::string, const TypeDesc*> byScopedName_;
  std::map<std::string, std::vector<const TypeDesc*>> byBareName_;
  std::vector<const TypeDesc*> structs_;
  const TypeDesc* time_ = nullptr;
};

const TypeTable& table() {
  static const TypeTable kTable;
  return kTable;
}

}  // namespace

const TypeDesc* findType(const std::string& dataType) { return table().find(dataType); }

std::vector<const TypeDesc*> structTypes() { return table().structs(); }

}  // namespace port_data
