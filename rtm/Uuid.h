// Random identifiers for connectors.
#ifndef RTM_UUID_H
#define RTM_UUID_H

#include <string>

namespace RTC {
// A random (version 4) UUID in its 36-character text form.
std::string newUuid();
}  // namespace RTC

#endif
