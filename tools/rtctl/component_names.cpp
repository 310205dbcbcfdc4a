#include "component_names.h"

namespace rtctl {

namespace {

const std::string kComponentSuffix = std::string(".") + kComponentKind;

std::string withoutLeadingSlash(const std::string& path) {
  return !path.empty() && path[0] == '/' ? path.substr(1) : path;
}

std::string lastComponent(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool endsWithComponentSuffix(const std::string& text) {
  return text.size() > kComponentSuffix.size() &&
         text.compare(text.size() - kComponentSuffix.size(), kComponentSuffix.size(),
                      kComponentSuffix) == 0;
}

}  // namespace

bool isNamingPath(const std::string& name) {
  return name.find('/') != std::string::npos || endsWithComponentSuffix(name);
}

std::vector<std::string> matchComponentName(const std::vector<std::string>& paths,
                                            const std::string& name) {
  std::vector<std::string> matches;
  if (name.empty()) return matches;
  if (isNamingPath(name)) {
    std::string wanted = withoutLeadingSlash(name);
    for (const auto& path : paths) {
      if (withoutLeadingSlash(path) == wanted) matches.push_back(path);
    }
    return matches;
  }
  for (const auto& path : paths) {
    if (lastComponent(path) == name + kComponentSuffix) matches.push_back(path);
  }
  return matches;
}

bool isComponentPath(const std::string& path) {
  return endsWithComponentSuffix(lastComponent(path));
}

std::string instanceNameOfPath(const std::string& path) {
  std::string last = lastComponent(path);
  size_t dot = last.rfind('.');
  return dot == std::string::npos ? last : last.substr(0, dot);
}

}  // namespace rtctl
