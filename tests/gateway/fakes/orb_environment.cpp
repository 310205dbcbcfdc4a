#include "orb_environment.h"

#include <mutex>

namespace fakes {
namespace {

struct TestOrb {
  CORBA::ORB_var orb;
  PortableServer::POA_var poa;
};

TestOrb& instance() {
  static TestOrb theOrb;
  static std::once_flag started;
  std::call_once(started, [] {
    int argc = 3;
    char arg0[] = "gateway_tests";
    char arg1[] = "-ORBendPoint";
    char arg2[] = "giop:tcp:127.0.0.1:";
    char* argv[] = {arg0, arg1, arg2, nullptr};
    theOrb.orb = CORBA::ORB_init(argc, argv);
    CORBA::Object_var root = theOrb.orb->resolve_initial_references("RootPOA");
    theOrb.poa = PortableServer::POA::_narrow(root);
    PortableServer::POAManager_var manager = theOrb.poa->the_POAManager();
    manager->activate();
  });
  return theOrb;
}

}  // namespace

CORBA::ORB_ptr testOrb() { return instance().orb.in(); }

PortableServer::POA_ptr testPoa() { return instance().poa.in(); }

}  // namespace fakes
