#pragma once

#include <string>

// The gateway's connection box: one line per controller service, a black square when its
// consumer holds a reference, a white one when not. UTF-8; the console layer turns it into
// the configured console encoding.
struct ServiceConnections {
  bool robotHardware = false;
  bool sequencePlayer = false;
  bool armControlL = false;
  bool armControlR = false;
  bool grasper = false;
};

std::string statusPanelBox(const ServiceConnections& connected);
