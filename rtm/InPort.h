#pragma once
#include <rtm/DataInPort.h>
