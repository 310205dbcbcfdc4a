#pragma once
// The map service of the planner, Zemla::RelativeMapService, recorded and answered again: the
// planner takes its map through a service call, not a data port, so a recording of its inputs
// has to hold the replies it was given.
//
// A reply is recorded as the CDR octets of the operation's result (little-endian, as on a data
// port), so that print and record --info read it like any other sample; a call that raised
// is recorded with the exception's name and raises the same again on replay.
#include <Zemla.hh>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/port_data/sample_value.h"

namespace rtctl {

inline constexpr const char* kRelativeMapService = "RelativeMapService";

struct ServiceOperation {
  const char* name;
  const char* resultType;  // repository id
};

// getRelativeOGMapConfig, getRelativeOGMap, getFloatRelativeOGMap, in this order.
const std::vector<ServiceOperation>& relativeMapOperations();

struct ServiceReply {
  port_data::Bytes octets;
  bool failed = false;  // octets hold the exception's name
};

// Stands in for the map service: forwards each call to the provider and hands the reply to
// `record` (on the ORB's thread, with the operation's index) before returning it.
class RecordingMapService : public POA_Zemla::RelativeMapService {
 public:
  using Record = std::function<void(size_t operation, const ServiceReply& reply)>;
  RecordingMapService(Zemla::RelativeMapService_ptr provider, Record record);

  RTC::OGMapConfig getRelativeOGMapConfig() override;
  Zemla::TimedRelativeOGMapData* getRelativeOGMap() override;
  Zemla::TimedFloatRelativeOGMapData* getFloatRelativeOGMap() override;

 private:
  Zemla::RelativeMapService_var provider_;
  Record record_;
};

// Answers each call with the reply `next` gives for the operation (it may wait for the replay
// to reach it); no reply left: CORBA::TRANSIENT, as from a provider that is gone.
class ReplayMapService : public POA_Zemla::RelativeMapService {
 public:
  using Next = std::function<std::optional<ServiceReply>(size_t operation)>;
  explicit ReplayMapService(Next next) : next_(std::move(next)) {}

  RTC::OGMapConfig getRelativeOGMapConfig() override;
  Zemla::TimedRelativeOGMapData* getRelativeOGMap() override;
  Zemla::TimedFloatRelativeOGMapData* getFloatRelativeOGMap() override;

 private:
  Next next_;
};

}  // namespace rtctl
