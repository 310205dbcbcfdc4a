#pragma once
// One ORB per test process, listening on loopback, with an active root POA for fake servants.

#include <omniORB4/CORBA.h>

namespace pickplace::fakes {

CORBA::ORB_ptr testOrb();
PortableServer::POA_ptr testPoa();

// Activates the servant and returns a reference to it (caller owns the reference).
template <class Interface, class Servant>
typename Interface::_ptr_type activate(Servant& servant) {
  PortableServer::ObjectId_var id = testPoa()->activate_object(&servant);
  CORBA::Object_var object = testPoa()->id_to_reference(id.in());
  return Interface::_narrow(object.in());
}

// Deactivates a servant activated with activate().
void deactivate(PortableServer::ServantBase& servant);

}  // namespace pickplace::fakes
