#include "ServantActivation.h"

#include <rtm/Manager.h>

namespace RTC {

PortableServer::ObjectId* activateServant(PortableServer::ServantBase* servant) {
  PortableServer::POA_var poa = Manager::instance().getPOA();
  return poa->activate_object(servant);
}

CORBA::Object_ptr referenceOf(const PortableServer::ObjectId& id) {
  PortableServer::POA_var poa = Manager::instance().getPOA();
  return poa->id_to_reference(id);
}

void deactivateServant(const PortableServer::ObjectId& id) {
  try {
    PortableServer::POA_var poa = Manager::instance().getPOA();
    if (!CORBA::is_nil(poa)) poa->deactivate_object(id);
  } catch (const CORBA::Exception&) {
    // Already deactivated, or the POA is gone with the ORB.
  }
}

}  // namespace RTC
