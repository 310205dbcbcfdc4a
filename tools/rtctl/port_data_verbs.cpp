#include "port_data_verbs.h"

#include <chrono>

namespace rtctl {

int runPortDataVerb(Session& session, const PortDataRequest& request) {
  if (auto* print = std::get_if<PrintRequest>(&request)) return runPrint(session, *print);
  if (auto* inject = std::get_if<InjectRequest>(&request)) return runInject(session, *inject);
  if (auto* hz = std::get_if<HzRequest>(&request)) return runHz(session, *hz);
  if (auto* record = std::get_if<RecordRequest>(&request)) return runRecord(session, *record);
  if (auto* replay = std::get_if<ReplayRequest>(&request)) return runReplay(session, *replay);
  throw Failure("no port-data request");
}

const port_data::TypeDesc& sampleTypeOf(const FoundPort& found, const PortAddress& address,
                                        const std::string& expectedPortType) {
  requirePortType(found, address, expectedPortType);
  const std::string dataType = property(found.info, kDataTypeKey);
  const port_data::TypeDesc* type = port_data::findType(dataType);
  if (!type) {
    throw Failure(label(address) + " carries " + (dataType.empty() ? "no data type" : dataType) +
                  ", a type rtctl does not know");
  }
  return *type;
}

std::pair<std::uint32_t, std::uint32_t> stampNow() {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  auto sec = std::chrono::duration_cast<std::chrono::seconds>(now);
  auto nsec = std::chrono::duration_cast<std::chrono::nanoseconds>(now - sec);
  return {static_cast<std::uint32_t>(sec.count()), static_cast<std::uint32_t>(nsec.count())};
}

}  // namespace rtctl
