#include "scene_sources.h"

#include <remote_component.h>

namespace scene_views {
namespace {

constexpr double kMillimetresPerMetre = 1000.0;

double mm(double metres) { return metres * kMillimetresPerMetre; }

FloorPoint floorPoint(const SimBase::Point& point) { return {point.x_m, point.y_m}; }

std::optional<FloorPoint> optionalPoint(const SimBase::OptionalPoint& point) {
  if (point.length() == 0) return std::nullopt;
  return floorPoint(point[0]);
}

ObjectSupport support(HiroSim::ObjectSupport given) {
  switch (given) {
    case HiroSim::ON_TRAY:
      return ObjectSupport::Tray;
    case HiroSim::IN_RIGHT_HAND:
      return ObjectSupport::RightHand;
    case HiroSim::IN_LEFT_HAND:
      return ObjectSupport::LeftHand;
    default:
      return ObjectSupport::Table;
  }
}

CellHand hand(const HiroSim::HandTips& tips) {
  return {mm(tips.x),    mm(tips.y),    mm(tips.z),      tips.openingX,
          tips.openingY, tips.openingZ, mm(tips.opening)};
}

TrayPose trayPose(double x_m, double y_m, double z_m, double yaw_rad) {
  return {mm(x_m), mm(y_m), mm(z_m), yaw_rad};
}

template <class Service>
SourceReading<typename Service::_var_type> find(CORBA::ORB_ptr orb, const std::string& nameServer,
                                                const std::string& component, const char* port,
                                                const char* type, const char* instance) {
  SourceReading<typename Service::_var_type> reading;
  auto found = demo_summary::findComponent(orb, nameServer, component);
  if (!found.error.empty()) {
    reading.error = found.error;
    return reading;
  }
  auto service = demo_summary::providedService(orb, found.value, port, type, instance);
  if (!service.error.empty()) {
    reading.error = component + ": " + service.error;
    return reading;
  }
  try {
    typename Service::_var_type narrowed = Service::_narrow(service.value);
    if (CORBA::is_nil(narrowed)) {
      reading.error = component + ": " + port + " does not provide a " + type;
      return reading;
    }
    omniORB::setClientCallTimeout(narrowed, demo_summary::kRemoteCallTimeout_ms);
    reading.value = narrowed;
  } catch (const CORBA::Exception& failure) {
    reading.error = component + ": " + demo_summary::describe(failure);
  }
  return reading;
}

}  // namespace

SourceReading<BuildingSnapshot> readBuilding(SimBase::BaseStatusService_ptr base) {
  SourceReading<BuildingSnapshot> reading;
  try {
    SimBase::FloorPlan_var plan = base->getFloorPlan();
    if (!plan->loaded) {
      reading.error = "the base has not loaded its floor plan yet (it loads it when activated)";
      return reading;
    }
    BuildingSnapshot building;
    for (CORBA::ULong i = 0; i < plan->walls.length(); ++i) {
      building.walls.push_back({floorPoint(plan->walls[i].from), floorPoint(plan->walls[i].to)});
    }
    building.start = floorPoint(plan->start);
    building.arrival = optionalPoint(plan->arrival);
    building.finish = optionalPoint(plan->finish);
    building.footprintRadius_m = plan->footprint_radius_m;
    reading.value = std::move(building);
  } catch (const CORBA::Exception& failure) {
    reading.error = "asking the base for its floor plan: " + demo_summary::describe(failure);
  }
  return reading;
}

SourceReading<BaseNow> readBaseNow(SimBase::BaseStatusService_ptr base) {
  SourceReading<BaseNow> reading;
  try {
    const SimBase::BaseStatus status = base->getStatus();
    reading.value = BaseNow{{status.x_m, status.y_m, status.heading_rad}, status.time_s};
  } catch (const CORBA::Exception& failure) {
    reading.error = "asking the base for its pose: " + demo_summary::describe(failure);
  }
  return reading;
}

SourceReading<CellSnapshot> readCell(HiroSim::CellState_ptr cell) {
  SourceReading<CellSnapshot> reading;
  try {
    HiroSim::CellView_var view = cell->getCellView();
    CellSnapshot snapshot;
    snapshot.time_s = view->time;
    const HiroSim::TableTop& table = view->table;
    snapshot.table =
        CellTable{mm(table.z), mm(table.minX), mm(table.maxX), mm(table.minY), mm(table.maxY)};
    CellTray tray;
    tray.pose = trayPose(view->tray.x, view->tray.y, view->tray.z, view->tray.yaw);
    tray.length_mm = mm(view->traySize.length);
    tray.width_mm = mm(view->traySize.width);
    tray.thickness_mm = mm(view->traySize.thickness);
    tray.lifted = view->tray.lifted;
    snapshot.tray = tray;
    for (CORBA::ULong i = 0; i < view->slots.length(); ++i) {
      const HiroSim::TraySlot& slot = view->slots[i];
      snapshot.slots.push_back(
          {slot.classId, static_cast<int>(slot.slot), mm(slot.along), mm(slot.across)});
    }
    if (view->putDown.length() > 0) {
      const HiroSim::TrayPose& place = view->putDown[0];
      snapshot.putDown = trayPose(place.x, place.y, place.z, place.yaw);
    }
    for (CORBA::ULong i = 0; i < view->objects.length(); ++i) {
      const HiroSim::ObjectView& object = view->objects[i];
      const HiroSim::ObjectPlace& place = object.place;
      snapshot.objects.push_back({static_cast<int>(place.index), place.classId,
                                  support(place.support), mm(place.x), mm(place.y), mm(place.z),
                                  place.yaw, mm(object.depth), mm(object.width),
                                  mm(object.height)});
    }
    snapshot.rightHand = hand(view->rightHand);
    snapshot.leftHand = hand(view->leftHand);
    reading.value = std::move(snapshot);
  } catch (const CORBA::Exception& failure) {
    reading.error = "asking the cell for its state: " + demo_summary::describe(failure);
  }
  return reading;
}

SourceReading<SimBase::BaseStatusService_var> findBaseStatus(CORBA::ORB_ptr orb,
                                                             const std::string& nameServer,
                                                             const std::string& component) {
  return find<SimBase::BaseStatusService>(orb, nameServer, component, kBaseStatusPort,
                                          kBaseStatusType, kBaseStatusInstance);
}

SourceReading<HiroSim::CellState_var> findCellState(CORBA::ORB_ptr orb,
                                                    const std::string& nameServer,
                                                    const std::string& component) {
  return find<HiroSim::CellState>(orb, nameServer, component, kCellStatePort, kCellStateType,
                                  kCellStateInstance);
}

BaseFollower::BaseFollower(CORBA::ORB_ptr orb, std::string nameServer, std::string component)
    : orb_(orb),
      nameServer_(std::move(nameServer)),
      component_(std::move(component)),
      nextLookup_(std::chrono::steady_clock::now()) {}

std::string BaseFollower::sample() {
  if (CORBA::is_nil(service_)) {
    const auto now = std::chrono::steady_clock::now();
    if (now < nextLookup_) return lookupError_;
    nextLookup_ = now + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                            std::chrono::duration<double>(kLookupInterval_s));
    auto found = findBaseStatus(orb_, nameServer_, component_);
    if (!found.value) {
      lookupError_ = found.error;
      return lookupError_;
    }
    service_ = *found.value;
    lookupError_.clear();
  }
  std::string problem;
  if (!building_) {
    auto building = readBuilding(service_);
    if (building.value) {
      building_ = std::move(building.value);
    } else {
      problem = component_ + ": " + building.error;
    }
  }
  auto now = readBaseNow(service_);
  if (!now.value) {
    service_ = SimBase::BaseStatusService::_nil();
    lookupError_ = component_ + ": " + now.error;  // said again until the next lookup
    return lookupError_;
  }
  lastPose_ = now.value->pose;
  lastTime_s_ = now.value->time_s;
  trail_.add({now.value->pose.x_m, now.value->pose.y_m});
  return problem;
}

BuildingSnapshot BaseFollower::snapshot() const {
  BuildingSnapshot snapshot = building_.value_or(BuildingSnapshot{});
  snapshot.pathDriven = trail_.points();
  snapshot.base = lastPose_;
  snapshot.time_s = lastTime_s_;
  return snapshot;
}

CellReader::CellReader(CORBA::ORB_ptr orb, std::string nameServer, std::string component)
    : orb_(orb), nameServer_(std::move(nameServer)), component_(std::move(component)) {}

SourceReading<CellSnapshot> CellReader::read() {
  if (CORBA::is_nil(service_)) {
    auto found = findCellState(orb_, nameServer_, component_);
    if (!found.value) return {std::nullopt, found.error};
    service_ = *found.value;
  }
  SourceReading<CellSnapshot> reading = readCell(service_);
  if (!reading.value) {
    reading.error = component_ + ": " + reading.error;
    service_ = HiroSim::CellState::_nil();
  }
  return reading;
}

}  // namespace scene_views
