#pragma once
// What the commands that move port data share: the type of a port's samples, and the time
// stamp of a sample written now.
#include <cstdint>
#include <string>
#include <utility>

#include "port_connection.h"
#include "tools/port_data/type_schema.h"

namespace rtctl {

// The type of the samples the port carries, once it is of the expected port type
// ("DataInPort", "DataOutPort"); throws the one line that says it is not, or that names a
// type rtctl does not know.
const port_data::TypeDesc& sampleTypeOf(const FoundPort& found, const PortAddress& address,
                                        const std::string& expectedPortType);

// The current time as an RTC::Time (sec, nsec).
std::pair<std::uint32_t, std::uint32_t> stampNow();

}  // namespace rtctl
