// The component model's basic names: return codes, lifecycle states, execution-context ids.
#pragma once

#include <rtm/idl/DataPortSkel.h>
#include <rtm/idl/OpenRTMSkel.h>
#include <rtm/idl/RTCSkel.h>
#include <rtm/idl/SDOPackageSkel.h>

namespace RTC {
// The handle of an execution context as its participants see it.
typedef ExecutionContextHandle_t UniqueId;
}  // namespace RTC
