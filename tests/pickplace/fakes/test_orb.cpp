#include "test_orb.h"

namespace pickplace::fakes {
namespace {

struct Orb {
  Orb() {
    int argc = 3;
    const char* argv[] = {"pickplace_test", "-ORBendPoint", "giop:tcp:127.0.0.1:", nullptr};
    orb = CORBA::ORB_init(argc, const_cast<char**>(argv));
    CORBA::Object_var root = orb->resolve_initial_references("RootPOA");
    poa = PortableServer::POA::_narrow(root.in());
    PortableServer::POAManager_var manager = poa->the_POAManager();
    manager->activate();
  }
  CORBA::ORB_var orb;
  PortableServer::POA_var poa;
};

Orb& orb() {
  static Orb instance;
  return instance;
}

}  // namespace

CORBA::ORB_ptr testOrb() { return orb().orb.in(); }
PortableServer::POA_ptr testPoa() { return orb().poa.in(); }

void deactivate(PortableServer::ServantBase& servant) {
  PortableServer::ObjectId_var id = testPoa()->servant_to_id(&servant);
  testPoa()->deactivate_object(id.in());
}

}  // namespace pickplace::fakes
