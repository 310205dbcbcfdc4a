#include "port_samples.h"

#include <chrono>

namespace rtctl {

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
