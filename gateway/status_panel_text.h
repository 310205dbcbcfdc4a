#pragma once

#include <string>

#include "gateway/display/status_panel.h"

class BriskoServiceSVC_impl;

// One period's status panel: the connection box, then, when the servant can read the joint
// angles, one line per joint group in whole degrees. UTF-8; the caller encodes it for the
// console. A controller that fails to answer leaves only the box.
std::string statusPanelText(const ServiceConnections& connected, BriskoServiceSVC_impl& service);
