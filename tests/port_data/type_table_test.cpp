// The type table against the IDL: the type codes the IDL compiler generates, the IDL files
// themselves, and the octets the generated code marshals.
#include <gtest/gtest.h>
#include <omniORB4/CORBA.h>
#include <omniORB4/cdrStream.h>
#include <omniORB4/internal/tcParser.h>

#include <BasicDataType.hh>
#include <ExtendedDataTypes.hh>
#include <InterfaceDataTypes.hh>
#include <Orvn.hh>
#include <Pexa.hh>
#include <Zemla.hh>
#include <fstream>
#include <set>

#include "sample_values.h"
#include "tools/port_data/cdr_codec.h"
#include "tools/port_data/type_schema.h"

namespace port_data {
namespace {

// Strings travel through the ORB's code-set converters, which exist once an ORB does.
class OrbEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    int argc = 1;
    char name[] = "type_table_test";
    char* argv[] = {name, nullptr};
    orb_ = CORBA::ORB_init(argc, argv);
  }
  void TearDown() override { orb_->destroy(); }

 private:
  CORBA::ORB_var orb_;
};

const auto* const kOrbEnvironment = ::testing::AddGlobalTestEnvironment(new OrbEnvironment);

// Wide characters need a code set that a data port's CDR stream does not have.
const std::set<std::string> kLeftOut = {"TimedWChar", "TimedWString", "TimedWCharSeq",
                                        "TimedWStringSeq"};

std::vector<CORBA::TypeCode_ptr> generatedTypeCodes() {
  return {RTC::_tc_Time,
          RTC::_tc_TimedState,
          RTC::_tc_TimedShort,
          RTC::_tc_TimedLong,
          RTC::_tc_TimedUShort,
          RTC::_tc_TimedULong,
          RTC::_tc_TimedFloat,
          RTC::_tc_TimedDouble,
          RTC::_tc_TimedChar,
          RTC::_tc_TimedBoolean,
          RTC::_tc_TimedOctet,
          RTC::_tc_TimedString,
          RTC::_tc_TimedShortSeq,
          RTC::_tc_TimedLongSeq,
          RTC::_tc_TimedUShortSeq,
          RTC::_tc_TimedULongSeq,
          RTC::_tc_TimedFloatSeq,
          RTC::_tc_TimedDoubleSeq,
          RTC::_tc_TimedCharSeq,
          RTC::_tc_TimedBooleanSeq,
          RTC::_tc_TimedOctetSeq,
          RTC::_tc_TimedStringSeq,
          RTC::_tc_RGBColour,
          RTC::_tc_Point2D,
          RTC::_tc_Vector2D,
          RTC::_tc_Pose2D,
          RTC::_tc_Velocity2D,
          RTC::_tc_Acceleration2D,
          RTC::_tc_PoseVel2D,
          RTC::_tc_Size2D,
          RTC::_tc_Geometry2D,
          RTC::_tc_Covariance2D,
          RTC::_tc_Point3D,
          RTC::_tc_Vector3D,
          RTC::_tc_Orientation3D,
          RTC::_tc_Pose3D,
          RTC::_tc_Velocity3D,
          RTC::_tc_AngularVelocity3D,
          RTC::_tc_Acceleration3D,
          RTC::_tc_AngularAcceleration3D,
          RTC::_tc_Size3D,
          RTC::_tc_Geometry3D,
          RTC::_tc_TimedRGBColour,
          RTC::_tc_TimedPoint2D,
          RTC::_tc_TimedVector2D,
          RTC::_tc_TimedPose2D,
          RTC::_tc_TimedVelocity2D,
          RTC::_tc_TimedAcceleration2D,
          RTC::_tc_TimedPoseVel2D,
          RTC::_tc_TimedSize2D,
          RTC::_tc_TimedGeometry2D,
          RTC::_tc_TimedCovariance2D,
          RTC::_tc_TimedPoint3D,
          RTC::_tc_TimedVector3D,
          RTC::_tc_TimedOrientation3D,
          RTC::_tc_TimedPose3D,
          RTC::_tc_TimedVelocity3D,
          RTC::_tc_TimedAngularVelocity3D,
          RTC::_tc_TimedAcceleration3D,
          RTC::_tc_TimedAngularAcceleration3D,
          RTC::_tc_TimedSize3D,
          RTC::_tc_TimedGeometry3D,
          RTC::_tc_OGMapConfig,
          RTC::_tc_OGMapTile,
          Pexa::_tc_TimedVelocity2D,
          Pexa::_tc_TimedPose2D,
          Pexa::_tc_TimedPoseVel2DSeq,
          Pexa::_tc_TimedPose2DSeq,
          Orvn::_tc_ImageData,
          Orvn::_tc_TimedImageData,
          Zemla::_tc_TimedEstimatedPose2D,
          Zemla::_tc_TimedAbsoluteOGMapData,
          Zemla::_tc_TimedFloatAbsoluteOGMapData,
          Zemla::_tc_TimedRelativeOGMapData,
          Zemla::_tc_TimedFloatRelativeOGMapData,
          Zemla::_tc_PersonData,
          Zemla::_tc_PeopleTrackingData,
          Zemla::_tc_TimedPeopleTrackingData};
}

// The type a typedef stands for (a new reference).
CORBA::TypeCode_ptr unaliased(CORBA::TypeCode_ptr code) {
  CORBA::TypeCode_var tc = CORBA::TypeCode::_duplicate(code);
  while (tc->kind() == CORBA::tk_alias) tc = tc->content_type();
  return tc._retn();
}

// What differs between a type of the table and a type code; empty when they agree.
std::string difference(const TypeDesc& type, CORBA::TypeCode_ptr code, const std::string& path) {
  CORBA::TypeCode_var tc = unaliased(code);
  const std::map<CORBA::TCKind, Kind> primitives = {
      {CORBA::tk_boolean, Kind::Boolean}, {CORBA::tk_char, Kind::Char},
      {CORBA::tk_octet, Kind::Octet},     {CORBA::tk_short, Kind::Short},
      {CORBA::tk_ushort, Kind::UShort},   {CORBA::tk_long, Kind::Long},
      {CORBA::tk_ulong, Kind::ULong},     {CORBA::tk_float, Kind::Float},
      {CORBA::tk_double, Kind::Double},   {CORBA::tk_string, Kind::String}};
  if (tc->kind() == CORBA::tk_struct) {
    if (type.kind != Kind::Struct) return path + ": a struct in the IDL";
    if (type.repositoryId != tc->id())
      return path + ": id " + type.repositoryId + " vs " + tc->id();
    if (type.fields.size() != tc->member_count()) return path + ": member count";
    for (CORBA::ULong i = 0; i < tc->member_count(); ++i) {
      if (type.fields[i].name != tc->member_name(i)) {
        return path + ": member " + std::to_string(i) + " is " + tc->member_name(i);
      }
      CORBA::TypeCode_var member = tc->member_type(i);
      std::string inner = difference(*type.fields[i].type, member, path + "." + tc->member_name(i));
      if (!inner.empty()) return inner;
    }
    return "";
  }
  if (tc->kind() == CORBA::tk_sequence) {
    if (type.kind != Kind::Sequence) return path + ": a sequence in the IDL";
    if (tc->length() != 0) return path + ": a bounded sequence in the IDL";
    CORBA::TypeCode_var element = tc->content_type();
    return difference(*type.element, element, path + "[]");
  }
  auto primitive = primitives.find(tc->kind());
  if (primitive == primitives.end()) return path + ": a kind the table does not have";
  return primitive->second == type.kind ? "" : path + ": " + type.name + " vs another kind";
}

TEST(TypeTable, everyStructAgreesWithTheGeneratedTypeCode) {
  std::set<std::string> covered;
  for (CORBA::TypeCode_ptr tc : generatedTypeCodes()) {
    const TypeDesc* type = findType(tc->id());
    ASSERT_NE(type, nullptr) << tc->id();
    EXPECT_EQ(difference(*type, tc, tc->name()), "");
    covered.insert(tc->id());
  }
  for (const TypeDesc* type : structTypes()) {
    EXPECT_EQ(covered.count(type->repositoryId), 1u) << type->repositoryId << " is not checked";
  }
}

// The struct names each module's IDL file declares.
std::vector<std::pair<std::string, std::string>> declaredStructs() {
  const std::vector<std::pair<std::string, std::string>> files = {
      {"RTC", "rtm/idl/BasicDataType.idl"},
      {"RTC", "rtm/idl/ExtendedDataTypes.idl"},
      {"RTC", "rtm/idl/InterfaceDataTypes.idl"},
      {"Pexa", "idl/Pexa.idl"},
      {"Orvn", "idl/Orvn.idl"},
      {"Zemla", "idl/Zemla.idl"}};
  std::vector<std::pair<std::string, std::string>> structs;
  for (const auto& [module, file] : files) {
    std::ifstream in(std::string(PROJECT_SOURCE_DIR) + "/" + file);
    EXPECT_TRUE(in) << file;
    std::string word;
    while (in >> word) {
      if (word != "struct") continue;
      std::string name;
      in >> name;
      structs.emplace_back(module, name.substr(0, name.find_first_of("{ ")));
    }
  }
  return structs;
}

TEST(TypeTable, knowsEveryStructThatTheIdlFilesDeclare) {
  const auto structs = declaredStructs();
  EXPECT_GT(structs.size(), 70u);
  for (const auto& [module, name] : structs) {
    if (kLeftOut.count(name)) {
      EXPECT_EQ(findType(module + "::" + name), nullptr) << name;
      continue;
    }
    EXPECT_NE(findType("IDL:" + module + "/" + name + ":1.0"), nullptr) << module << "::" << name;
  }
}

TEST(TypeTable, namesItsTypesByIdScopedOrUnambiguousBareName) {
  EXPECT_EQ(findType("IDL:Pexa/TimedPose2D:1.0"), findType("Pexa::TimedPose2D"));
  EXPECT_NE(findType("IDL:Pexa/TimedPose2D:1.0"), findType("IDL:RTC/TimedPose2D:1.0"));
  EXPECT_EQ(findType("TimedString"), findType("IDL:RTC/TimedString:1.0"));
  // Two modules declare it: a bare name cannot say which.
  EXPECT_EQ(findType("TimedPose2D"), nullptr);
  EXPECT_EQ(findType("IDL:RTC/TimedWString:1.0"), nullptr);
  EXPECT_EQ(findType(""), nullptr);
}

// The octets the ORB reads with the type code are the octets the table wrote: copying them
// through the type code's parser consumes them all and gives back the same values, in as many
// octets. (Padding octets may differ: the ORB leaves them as they are in its buffer.)
TEST(TypeTable, octetsOfEveryTypeReadBackThroughItsTypeCode) {
  for (CORBA::TypeCode_ptr tc : generatedTypeCodes()) {
    const TypeDesc& type = *findType(tc->id());
    for (bool littleEndian : {true, false}) {
      const Bytes octets = encodeSample(type, sampleValue(type), littleEndian);
      std::vector<CORBA::Octet> buffer(octets.begin(), octets.end());
      cdrMemoryStream source(buffer.data(), buffer.size());
      source.setByteSwapFlag(littleEndian);
      cdrMemoryStream copy;
      copy.setByteSwapFlag(littleEndian);
      omni::tcParser::copyStreamToStream(tc, source, copy);
      EXPECT_FALSE(source.checkInputOverrun(1, 1)) << tc->id() << " left octets unread";
      ASSERT_EQ(copy.bufSize(), octets.size()) << tc->id();
      const auto* copied = static_cast<const std::uint8_t*>(copy.bufPtr());
      auto decoded = decodeSample(type, copied, copy.bufSize(), littleEndian);
      ASSERT_TRUE(decoded) << tc->id() << ": " << decoded.error();
      EXPECT_EQ(*decoded, sampleValue(type)) << tc->id();
    }
  }
}

Bytes marshalled(void (*marshal)(cdrMemoryStream&)) {
  cdrMemoryStream stream;
  stream.setByteSwapFlag(true);
  marshal(stream);
  const auto* begin = static_cast<const std::uint8_t*>(stream.bufPtr());
  return Bytes(begin, begin + stream.bufSize());
}

TEST(TypeTable, readsWhatTheGeneratedCodeWritesForThePlannersPorts) {
  const Bytes pose = marshalled([](cdrMemoryStream& stream) {
    Pexa::TimedPose2D sample;
    sample.tm.sec = 12;
    sample.tm.nsec = 500;
    sample.id.length(1);
    sample.id[0] = 7;
    sample.data.position.x = 1.25;
    sample.data.position.y = -0.5;
    sample.data.heading = 3.0;
    sample.error.length(2);
    sample.error[0] = 0.01;
    sample.error[1] = 0.02;
    sample >>= stream;
  });
  const TypeDesc& poseType = *findType("Pexa::TimedPose2D");
  auto decoded = decodeSample(poseType, pose);
  ASSERT_TRUE(decoded) << decoded.error();
  const Value& data = *fieldOf(poseType, *decoded, "data");
  EXPECT_EQ(data.items()[0].items()[0].asNumber(), 1.25);
  EXPECT_EQ(data.items()[0].items()[1].asNumber(), -0.5);
  EXPECT_EQ(data.items()[1].asNumber(), 3.0);
  EXPECT_EQ(fieldOf(poseType, *decoded, "id")->items()[0].asInteger(), 7);
  EXPECT_EQ(fieldOf(poseType, *decoded, "error")->items()[1].asNumber(), 0.02);
  EXPECT_EQ(encodeSample(poseType, *decoded).size(), pose.size());

  const Bytes waypoints = marshalled([](cdrMemoryStream& stream) {
    Pexa::TimedPoseVel2DSeq sample;
    sample.data.length(2);
    sample.data[1].velocities.va = -0.25;
    sample >>= stream;
  });
  const TypeDesc& waypointType = *findType("Pexa::TimedPoseVel2DSeq");
  auto decodedWaypoints = decodeSample(waypointType, waypoints);
  ASSERT_TRUE(decodedWaypoints) << decodedWaypoints.error();
  EXPECT_EQ(
      fieldOf(waypointType, *decodedWaypoints, "data")->items()[1].items()[1].items()[2].asNumber(),
      -0.25);
}

TEST(TypeTable, readsAnImageWithItsWidthStepAfterThePixels) {
  const Bytes image = marshalled([](cdrMemoryStream& stream) {
    Orvn::TimedImageData sample;
    sample.data.nChannels = 3;
    sample.data.depth = 8;
    sample.data.width = 2;
    sample.data.height = 1;
    sample.data.imageSize = 6;
    sample.data.imgData.length(6);
    for (CORBA::ULong i = 0; i < 6; ++i) sample.data.imgData[i] = static_cast<CORBA::Char>(10 * i);
    sample.data.widthStep = 6;
    sample >>= stream;
  });
  const TypeDesc& type = *findType("Orvn::TimedImageData");
  auto decoded = decodeSample(type, image);
  ASSERT_TRUE(decoded) << decoded.error();
  const TypeDesc& imageData = *findType("Orvn::ImageData");
  const Value& data = *fieldOf(type, *decoded, "data");
  EXPECT_EQ(fieldOf(imageData, data, "imgData")->asBytes(), (Bytes{0, 10, 20, 30, 40, 50}));
  EXPECT_EQ(fieldOf(imageData, data, "widthStep")->asInteger(), 6);
}

}  // namespace
}  // namespace port_data
