#include "rtc_conf.h"

#include <sstream>

#include "temp_dir.h"

namespace test_support {

std::string rtcConfText(const RtcConfOptions& options) {
  std::ostringstream text;
  if (!options.nameServer.empty()) text << "corba.nameservers: " << options.nameServer << "\n";
  if (!options.endpoint.empty()) text << "corba.endpoints: " << options.endpoint << "\n";
  text << "exec_cxt.periodic.rate: " << options.rate_hz << "\n"
       << "logger.enable: YES\n"
       << "logger.file_name: STDOUT\n"
       << "logger.log_level: " << options.logLevel << "\n";
  for (const auto& [key, value] : options.extra) text << key << ": " << value << "\n";
  return text.str();
}

std::string writeRtcConf(const std::string& directory, const RtcConfOptions& options,
                         const std::string& fileName) {
  std::string path = directory + "/" + fileName;
  writeFile(path, rtcConfText(options));
  return path;
}

}  // namespace test_support
