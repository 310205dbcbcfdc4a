#include "NamingFormat.h"

namespace RTC {

std::string expandNamingFormat(const std::string& format, const NamingFields& fields) {
  std::string result;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      result += format[i];
      continue;
    }
    char field = format[++i];
    switch (field) {
      case 'n':
        result += fields.instanceName;
        break;
      case 't':
      case 'm':
        result += fields.typeName;
        break;
      case 'i':
        result += fields.implementationId;
        break;
      case 'v':
        result += fields.version;
        break;
      case 'V':
        result += fields.vendor;
        break;
      case 'c':
        result += fields.category;
        break;
      case 'h':
        result += fields.hostName;
        break;
      case 'M':
        result += fields.managerName;
        break;
      case 'p':
        result += std::to_string(fields.processId);
        break;
      case '%':
        result += '%';
        break;
      default:
        result += '%';
        result += field;
        break;
    }
  }
  return result;
}

std::vector<NameComponentText> splitNamingPath(const std::string& path) {
  std::vector<NameComponentText> components;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    std::string part = path.substr(start, end == std::string::npos ? end : end - start);
    if (!part.empty()) {
      size_t dot = part.rfind('.');
      if (dot == std::string::npos)
        components.push_back({part, ""});
      else
        components.push_back({part.substr(0, dot), part.substr(dot + 1)});
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return components;
}

}  // namespace RTC
