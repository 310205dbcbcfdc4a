#pragma once
// The words of the coordinator's "input" and "output" ports.

namespace pickplace {

constexpr const char* kObjectStart = "HIRO_OBJ_MANIP_START";
constexpr const char* kObjectStop = "HIRO_OBJ_MANIP_STOP";
constexpr const char* kObjectStopped = "HIRO_OBJ_MANIP_STOPPED";
constexpr const char* kTrayStart = "HIRO_TRAY_MANIP_START";
constexpr const char* kTrayStop = "HIRO_TRAY_MANIP_STOP";
constexpr const char* kTrayStopped = "HIRO_TRAY_MANIP_STOPPED";
constexpr const char* kFinish = "FINISH";

}  // namespace pickplace
