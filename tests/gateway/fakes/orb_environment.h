#pragma once

#include <omniORB4/CORBA.h>

// The test process's ORB on loopback with its root POA active, made once on first use, so that
// fakes are real servants reached through object references.
namespace fakes {

CORBA::ORB_ptr testOrb();
PortableServer::POA_ptr testPoa();

// A servant activated on the test POA for the lifetime of this object. The POA owns the
// servant: deactivation deletes it once no call is running in it.
template <class Servant>
class Activated {
 public:
  Activated() : servant_(new Servant) {
    id_ = testPoa()->activate_object(servant_);
    servant_->_remove_ref();
    reference_ = testPoa()->id_to_reference(id_.in());
  }
  ~Activated() { testPoa()->deactivate_object(id_.in()); }
  Activated(const Activated&) = delete;
  Activated& operator=(const Activated&) = delete;

  Servant* operator->() const { return servant_; }
  CORBA::Object_ptr reference() const { return reference_.in(); }

 private:
  Servant* servant_;
  PortableServer::ObjectId_var id_;
  CORBA::Object_var reference_;
};

}  // namespace fakes
