// Random identifiers for connectors.
#pragma once

#include <string>

namespace RTC {
// A random (version 4) UUID in its 36-character text form.
std::string newUuid();
}  // namespace RTC
