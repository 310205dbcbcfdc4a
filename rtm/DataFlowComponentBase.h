// The base class of data-flow components: an RT-component run by a periodic execution
// context (see RTObject.h for the lifecycle).
#pragma once

#include <rtm/RTObject.h>

namespace RTC {

class DataFlowComponentBase : public RTObject_impl {
 public:
  explicit DataFlowComponentBase(Manager* manager) : RTObject_impl(manager) {}
  void init() {}
};

}  // namespace RTC
