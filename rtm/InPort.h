#ifndef RTM_INPORT_H
#define RTM_INPORT_H
#include <rtm/DataInPort.h>
#endif
