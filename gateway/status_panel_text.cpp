#include "gateway/status_panel_text.h"

#include "gateway/BriskoServiceSVC_impl.h"
#include "gateway/display/joint_vector_lines.h"

std::string statusPanelText(const ServiceConnections& connected, BriskoServiceSVC_impl& service) {
  std::string text = statusPanelBox(connected);
  BriskoServiceSVC_impl::JointAngles_var angles;
  CORBA::Long result = BriskoServiceSVC_impl::kNotConnected;
  try {
    result = service.getJointAngles(angles.out());
  } catch (const CORBA::Exception&) {
    // The periodic callback has no caller to hand the exception to: show the box alone.
    return text;
  }
  if (result != 0) return text;
  for (int g = 0; g < joint_lines::kGroupCount; ++g) {
    text += joint_lines::panelLine(g, angles[g].get_buffer());
  }
  return text;
}
