#ifndef RTM_OUTPORT_H
#define RTM_OUTPORT_H
#include <rtm/DataOutPort.h>
#endif
