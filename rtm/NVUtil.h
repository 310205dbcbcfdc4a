// Helpers for name/value lists (SDOPackage::NVList) whose values are strings or objects.
#pragma once

#include <rtm/RTC.h>

#include <coil/Properties.h>

#include <string>

namespace NVUtil {

// Sets `name` to the string `value`, replacing an existing entry of that name.
void setString(SDOPackage::NVList& list, const std::string& name, const std::string& value);
// Appends `name` → `value` (an object reference, for instance).
void append(SDOPackage::NVList& list, const std::string& name, const CORBA::Any& value);

// The index of `name`, or -1.
long find_index(const SDOPackage::NVList& list, const std::string& name);
bool isString(const SDOPackage::NVList& list, const std::string& name);

// The string value of `name`; empty when absent or not a string.
std::string toString(const SDOPackage::NVList& list, const std::string& name);
// The object value of `name` (caller releases); nil when absent or not an object.
CORBA::Object_ptr toObject(const SDOPackage::NVList& list, const std::string& name);

// String values only; objects and other kinds are skipped.
coil::Properties toProperties(const SDOPackage::NVList& list);
void copyFromProperties(SDOPackage::NVList& list, const coil::Properties& properties);

}  // namespace NVUtil
