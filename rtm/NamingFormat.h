// Naming paths of components: the naming.formats pattern expanded for one component and
// split into the naming service's (id, kind) components.
#pragma once

#include <string>
#include <vector>

namespace RTC {

struct NamingFields {
  std::string instanceName;      // %n
  std::string typeName;          // %t, %m
  std::string implementationId;  // %i
  std::string version;           // %v
  std::string vendor;            // %V
  std::string category;          // %c
  std::string hostName;          // %h
  std::string managerName;       // %M
  long processId = 0;            // %p
};

// Replaces the %-fields of `format`; "%%" is a percent sign, unknown fields stay as written.
std::string expandNamingFormat(const std::string& format, const NamingFields& fields);

struct NameComponentText {
  std::string id;
  std::string kind;
};

// "a.host_cxt/Brisko0.rtc" → {("a", "host_cxt"), ("Brisko0", "rtc")}: split at "/",
// each part at its last "." into id and kind. Empty parts are skipped.
std::vector<NameComponentText> splitNamingPath(const std::string& path);

}  // namespace RTC
