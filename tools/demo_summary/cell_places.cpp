#include "cell_places.h"

#include <HiroSimCell.hh>
#include <algorithm>

namespace demo_summary {

Remote<CellPlaces> askCellPlaces(CORBA::ORB_ptr orb, const std::string& nameServer,
                                 const std::string& cellComponent) {
  Remote<CellPlaces> result;
  auto component = findComponent(orb, nameServer, cellComponent);
  if (!component.error.empty()) {
    result.error = component.error;
    return result;
  }
  auto service =
      providedService(orb, component.value, kCellStatePort, kCellStateType, kCellStateInstance);
  if (!service.error.empty()) {
    result.error = cellComponent + ": " + service.error;
    return result;
  }
  try {
    HiroSim::CellState_var cell = HiroSim::CellState::_narrow(service.value);
    if (CORBA::is_nil(cell)) {
      result.error = cellComponent + ": the cell state service has another type";
      return result;
    }
    HiroSim::ObjectPlaceSeq_var objects = cell->getObjectPlaces();
    for (CORBA::ULong i = 0; i < objects->length(); ++i) {
      const HiroSim::ObjectPlace& place = objects[i];
      result.value.objects.push_back({static_cast<int>(place.index),
                                      place.classId,
                                      place.support == HiroSim::ON_TRAY,
                                      {place.x, place.y, place.z}});
    }
    // The estimator hands the objects out in the order of the scene file.
    std::sort(result.value.objects.begin(), result.value.objects.end(),
              [](const ObjectFinal& a, const ObjectFinal& b) { return a.index < b.index; });
    const HiroSim::TrayPlace tray = cell->getTrayPlace();
    result.value.tray = {{tray.x, tray.y, tray.z}, tray.yaw, static_cast<bool>(tray.lifted)};
  } catch (const CORBA::Exception& failure) {
    result.error = cellComponent + ": asking the cell state: " + describe(failure);
  }
  return result;
}

}  // namespace demo_summary
