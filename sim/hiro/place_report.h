#pragma once
// The lines that tell where every object and the tray ended up.

#include <string>
#include <vector>

#include "cell_world.h"

namespace hirosim {

// One line per object, then one for the tray, e.g.
// "object 0 (class 0): on tray at (-0.042, 0.485, 0.015) m, yaw 100.0 deg".
std::vector<std::string> describePlaces(const std::vector<ObjectPlace>& objects,
                                        const TrayPlace& tray);

}  // namespace hirosim
