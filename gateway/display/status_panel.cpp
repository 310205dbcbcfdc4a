#include "gateway/display/status_panel.h"

namespace {

const char* mark(bool connected) { return connected ? "■" : "□"; }

}  // namespace

std::string statusPanelBox(const ServiceConnections& c) {
  std::string box = "┌─────┐\n";
  box += std::string("│ RobotH/W ") + mark(c.robotHardware) + "\n";
  box += std::string("│ SeqPlayer") + mark(c.sequencePlayer) + "\n";
  box += std::string("│ArmCtrl(L)") + mark(c.armControlL) + "\n";
  box += std::string("│ArmCtrl(R)") + mark(c.armControlR) + "\n";
  box += std::string("│  Grasper ") + mark(c.grasper) + "\n";
  box += "└─────┘\n";
  return box;
}
