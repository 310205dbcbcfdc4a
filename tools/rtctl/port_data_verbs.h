#pragma once
// The verbs that move port data: print, inject, hz, record and replay, each in its own file.
// Each writes its results to standard output and returns the exit status; failures are thrown
// as rtctl::Failure. Ctrl-C (stopRequested) ends print, hz, record and replay cleanly.
#include <cstdint>
#include <string>
#include <utility>

#include "port_connection.h"
#include "port_data_requests.h"
#include "session.h"
#include "tools/port_data/type_schema.h"

namespace rtctl {

int runPrint(Session& session, const PrintRequest& request);
int runInject(Session& session, const InjectRequest& request);
int runHz(Session& session, const HzRequest& request);
int runRecord(Session& session, const RecordRequest& request);
int runReplay(Session& session, const ReplayRequest& request);

// Runs whichever verb the request is for.
int runPortDataVerb(Session& session, const PortDataRequest& request);

// The type of the samples the port carries, once it is of the expected port type
// ("DataInPort", "DataOutPort"); throws the one line that says it is not, or that names a
// type rtctl does not know.
const port_data::TypeDesc& sampleTypeOf(const FoundPort& found, const PortAddress& address,
                                        const std::string& expectedPortType);

// The current time as an RTC::Time (sec, nsec).
std::pair<std::uint32_t, std::uint32_t> stampNow();

}  // namespace rtctl
