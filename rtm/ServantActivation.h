// Registering the middleware's servants with the manager's POA and withdrawing them.
#pragma once

#include <omniORB4/CORBA.h>

namespace RTC {

// Activates `servant` in the manager's POA; returns its object id (caller owns).
PortableServer::ObjectId* activateServant(PortableServer::ServantBase* servant);
// The object reference of an active servant (caller owns).
CORBA::Object_ptr referenceOf(const PortableServer::ObjectId& id);
// Deactivates the object; harmless when already gone or the ORB is down.
void deactivateServant(const PortableServer::ObjectId& id);

}  // namespace RTC
