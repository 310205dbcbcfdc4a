#pragma once
// Finding a component's binding among the name server's bindings.
#include <string>
#include <vector>

namespace rtctl {

// The naming kind under which components are bound.
inline constexpr const char* kComponentKind = "rtc";

// True when name is a naming path ("ctx.host_cxt/Brisko0.rtc") rather than an instance name.
bool isNamingPath(const std::string& name);

// The bindings among paths (stringified names "ctx.kind/id.kind") that name means: an instance
// name matches every path whose last component is "<name>.rtc"; a naming path matches itself
// (a leading '/' is ignored). More than one match means the name is ambiguous.
std::vector<std::string> matchComponentName(const std::vector<std::string>& paths,
                                            const std::string& name);

// True when the path's last component is of kind "rtc" ("ctx.host_cxt/Brisko0.rtc").
bool isComponentPath(const std::string& path);

// The instance name part of a component path: "ctx.host_cxt/Brisko0.rtc" → "Brisko0".
std::string instanceNameOfPath(const std::string& path);

}  // namespace rtctl
