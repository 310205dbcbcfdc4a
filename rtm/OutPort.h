#pragma once
#include <rtm/DataOutPort.h>
