#include "relative_map_service.h"

#include <omniORB4/cdrStream.h>

namespace rtctl {

namespace {

enum Operation : size_t { kConfig, kOctetMap, kFloatMap };

template <class T>
port_data::Bytes octetsOf(const T& value) {
  cdrMemoryStream stream;
  stream.setByteSwapFlag(true);
  value >>= stream;
  const auto* begin = static_cast<const std::uint8_t*>(stream.bufPtr());
  return port_data::Bytes(begin, begin + stream.bufSize());
}

template <class T>
void readOctets(const port_data::Bytes& octets, T& value) {
  std::vector<CORBA::Octet> copy(octets.begin(), octets.end());
  cdrMemoryStream stream(copy.data(), copy.size());
  stream.setByteSwapFlag(true);
  value <<= stream;
}

[[noreturn]] void raiseRecorded(const ServiceReply& reply) {
  const std::string name(reply.octets.begin(), reply.octets.end());
  if (name == "TIMEOUT") throw CORBA::TIMEOUT();
  if (name == "COMM_FAILURE") throw CORBA::COMM_FAILURE();
  if (name == "OBJECT_NOT_EXIST") throw CORBA::OBJECT_NOT_EXIST();
  if (name == "TRANSIENT") throw CORBA::TRANSIENT();
  throw CORBA::UNKNOWN();
}

ServiceReply failure(const CORBA::Exception& error) {
  const std::string name = error._name();
  return {port_data::Bytes(name.begin(), name.end()), true};
}

template <class Result, class Call>
Result forward(size_t operation, const RecordingMapService::Record& record, Call call) {
  try {
    Result result = call();
    record(operation, {octetsOf(result.in()), false});
    return result;
  } catch (const CORBA::SystemException& error) {
    record(operation, failure(error));
    throw;
  }
}

ServiceReply replyOrTransient(const ReplayMapService::Next& next, size_t operation) {
  std::optional<ServiceReply> reply = next(operation);
  if (!reply) throw CORBA::TRANSIENT();
  if (reply->failed) raiseRecorded(*reply);
  return *reply;
}

}  // namespace

const std::vector<ServiceOperation>& relativeMapOperations() {
  static const std::vector<ServiceOperation> kOperations = {
      {"getRelativeOGMapConfig", "IDL:RTC/OGMapConfig:1.0"},
      {"getRelativeOGMap", "IDL:Zemla/TimedRelativeOGMapData:1.0"},
      {"getFloatRelativeOGMap", "IDL:Zemla/TimedFloatRelativeOGMapData:1.0"}};
  return kOperations;
}

RecordingMapService::RecordingMapService(Zemla::RelativeMapService_ptr provider, Record record)
    : provider_(Zemla::RelativeMapService::_duplicate(provider)), record_(std::move(record)) {}

RTC::OGMapConfig RecordingMapService::getRelativeOGMapConfig() {
  try {
    RTC::OGMapConfig config = provider_->getRelativeOGMapConfig();
    record_(kConfig, {octetsOf(config), false});
    return config;
  } catch (const CORBA::SystemException& error) {
    record_(kConfig, failure(error));
    throw;
  }
}

Zemla::TimedRelativeOGMapData* RecordingMapService::getRelativeOGMap() {
  return forward<Zemla::TimedRelativeOGMapData_var>(
             kOctetMap, record_,
             [this] { return Zemla::TimedRelativeOGMapData_var(provider_->getRelativeOGMap()); })
      ._retn();
}

Zemla::TimedFloatRelativeOGMapData* RecordingMapService::getFloatRelativeOGMap() {
  return forward<Zemla::TimedFloatRelativeOGMapData_var>(
             kFloatMap, record_,
             [this] {
               return Zemla::TimedFloatRelativeOGMapData_var(provider_->getFloatRelativeOGMap());
             })
      ._retn();
}

RTC::OGMapConfig ReplayMapService::getRelativeOGMapConfig() {
  RTC::OGMapConfig config;
  readOctets(replyOrTransient(next_, kConfig).octets, config);
  return config;
}

Zemla::TimedRelativeOGMapData* ReplayMapService::getRelativeOGMap() {
  Zemla::TimedRelativeOGMapData_var map = new Zemla::TimedRelativeOGMapData;
  readOctets(replyOrTransient(next_, kOctetMap).octets, map.inout());
  return map._retn();
}

Zemla::TimedFloatRelativeOGMapData* ReplayMapService::getFloatRelativeOGMap() {
  Zemla::TimedFloatRelativeOGMapData_var map = new Zemla::TimedFloatRelativeOGMapData;
  readOctets(replyOrTransient(next_, kFloatMap).octets, map.inout());
  return map._retn();
}

}  // namespace rtctl
