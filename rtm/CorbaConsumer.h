// The holder of a required service's object reference on a service port: nil until a
// connection supplies a provider, nil again after it is disconnected.
#pragma once

#include <omniORB4/CORBA.h>

#include <mutex>
#include <vector>

namespace RTC {

class CorbaConsumerBase {
 public:
  CorbaConsumerBase() = default;
  virtual ~CorbaConsumerBase() = default;
  CorbaConsumerBase(const CorbaConsumerBase&) = delete;
  CorbaConsumerBase& operator=(const CorbaConsumerBase&) = delete;

  // Takes a reference to the provider (duplicated); false when it is nil or not of the
  // consumer's type.
  virtual bool setObject(CORBA::Object_ptr object) = 0;
  // A new reference to the provider, nil when none (caller releases).
  virtual CORBA::Object_ptr getObject() = 0;
  virtual void releaseObject() = 0;
};

// References handed out by _ptr() stay valid for the consumer's lifetime: replaced and
// released references are kept until the consumer goes, because a caller on another
// thread may still be using one when a connection changes.
template <class ObjectType>
class CorbaConsumer : public CorbaConsumerBase {
 public:
  typedef typename ObjectType::_ptr_type ObjectPtr;
  typedef typename ObjectType::_var_type ObjectVar;

  CorbaConsumer() : m_current(ObjectType::_nil()) {}

  bool setObject(CORBA::Object_ptr object) override {
    if (CORBA::is_nil(object)) return false;
    ObjectVar typed;
    try {
      typed = ObjectType::_narrow(object);
    } catch (const CORBA::SystemException&) {
      return false;
    }
    if (CORBA::is_nil(typed)) return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_current = typed.in();
    m_kept.push_back(typed._retn());
    return true;
  }

  CORBA::Object_ptr getObject() override {
    std::lock_guard<std::mutex> lock(m_mutex);
    return CORBA::Object::_duplicate(m_current);
  }

  void releaseObject() override {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_current = ObjectType::_nil();
  }

  // The provider's reference, owned by the consumer; nil when not connected.
  ObjectPtr _ptr() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_current;
  }
  ObjectPtr operator->() { return _ptr(); }

 private:
  std::mutex m_mutex;
  ObjectPtr m_current;
  std::vector<ObjectVar> m_kept;
};

}  // namespace RTC
