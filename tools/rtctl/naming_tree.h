#pragma once
// A name server's naming tree, walked the same way by rtctl, demo_summary and the tests: every
// binding that is not a context, at any depth, as its stringified path
// ("robot-pc.host_cxt/Brisko0.rtc"). Bindings are fetched in batches through the binding
// iterator, so none is left out however many a context holds.
#include <omniORB4/CORBA.h>
#include <omniORB4/Naming.hh>

#include <string>
#include <vector>

namespace name_service {

// Contexts nested deeper than this are not entered (a loop of contexts would never end).
inline constexpr int kMaxNamingDepth = 16;

struct NamingListing {
  // Paths of the bindings that are not contexts, in the order the server lists them.
  std::vector<std::string> paths;
  // Paths of contexts that could not be listed (bound in another server that does not answer).
  std::vector<std::string> unreachableContexts;
};

// The root context of the name server at "host:port" (see name_server_address.h), its calls
// limited to callTimeout_ms (0: the ORB's own limit). Nil when the address is malformed. No
// remote call is made.
CosNaming::NamingContextExt_ptr rootContext(CORBA::ORB_ptr orb, const std::string& nameServer,
                                            unsigned long callTimeout_ms);

// Every binding below root. Each context and iterator reached gets the call limit
// callTimeout_ms (0: the ORB's own). A CORBA exception from root itself (the name server does
// not answer) passes to the caller; a sub-context that fails is listed as unreachable.
NamingListing listBindings(CosNaming::NamingContext_ptr root, unsigned long callTimeout_ms);

// "id.kind/id.kind" for a name ("id" alone where the kind is empty).
std::string pathText(const CosNaming::Name& name);

}  // namespace name_service
