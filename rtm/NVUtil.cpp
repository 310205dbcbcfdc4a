#include "NVUtil.h"

namespace NVUtil {

long find_index(const SDOPackage::NVList& list, const std::string& name) {
  for (CORBA::ULong i = 0; i < list.length(); ++i)
    if (name == static_cast<const char*>(list[i].name)) return static_cast<long>(i);
  return -1;
}

void setString(SDOPackage::NVList& list, const std::string& name, const std::string& value) {
  long index = find_index(list, name);
  if (index < 0) {
    index = list.length();
    list.length(index + 1);
    list[index].name = name.c_str();
  }
  list[index].value <<= value.c_str();
}

void append(SDOPackage::NVList& list, const std::string& name, const CORBA::Any& value) {
  CORBA::ULong index = list.length();
  list.length(index + 1);
  list[index].name = name.c_str();
  list[index].value = value;
}

bool isString(const SDOPackage::NVList& list, const std::string& name) {
  long index = find_index(list, name);
  if (index < 0) return false;
  const char* text = nullptr;
  return (list[index].value >>= text) != 0;
}

std::string toString(const SDOPackage::NVList& list, const std::string& name) {
  long index = find_index(list, name);
  if (index < 0) return "";
  const char* text = nullptr;
  if (!(list[index].value >>= text) || text == nullptr) return "";
  return text;
}

CORBA::Object_ptr toObject(const SDOPackage::NVList& list, const std::string& name) {
  long index = find_index(list, name);
  if (index < 0) return CORBA::Object::_nil();
  CORBA::Object_ptr object = CORBA::Object::_nil();
  if (!(list[index].value >>= CORBA::Any::to_object(object))) return CORBA::Object::_nil();
  return object;
}

coil::Properties toProperties(const SDOPackage::NVList& list) {
  coil::Properties properties;
  for (CORBA::ULong i = 0; i < list.length(); ++i) {
    const char* text = nullptr;
    if ((list[i].value >>= text) && text != nullptr)
      properties.setProperty(static_cast<const char*>(list[i].name), text);
  }
  return properties;
}

void copyFromProperties(SDOPackage::NVList& list, const coil::Properties& properties) {
  for (const std::string& key : properties.propertyNames())
    setString(list, key, properties.getProperty(key));
}

}  // namespace NVUtil
