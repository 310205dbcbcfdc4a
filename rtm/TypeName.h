// The repository id of an IDL type, read from the type code omniidl generates for it.
#pragma once

#include <omniORB4/CORBA.h>

#include <string>

// omniidl declares the Any operators of IDL types in the global namespace. An Any of a
// global type makes argument-dependent lookup search there, so the template below finds
// them whatever the order of includes.
struct RtmTypeCodeProbe : CORBA::Any {};

namespace RTC {

// "IDL:RTC/TimedString:1.0" for RTC::TimedString; the type must have been compiled with
// Any support (type codes), as every IDL of the project is.
template <class T>
std::string repositoryIdOf() {
  RtmTypeCodeProbe any;
  any <<= T();
  CORBA::TypeCode_var type = any.type();
  return type->id();
}

}  // namespace RTC
