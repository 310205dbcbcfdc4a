#include "private_system.h"

#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace rtctl {

namespace {

constexpr mode_t kOwnerOnly = 0700;
constexpr mode_t kOthersBits = 0077;
// A socket's path holds at most 107 characters; the ORB names its sockets with 20.
constexpr size_t kLongestFolder = sizeof(sockaddr_un::sun_path) - 1 - 21;
// Sockets the owner alone may connect to, even should the folder be opened later.
constexpr const char* kSocketPermission = "0600";

std::string octal(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

std::string trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::vector<std::string> privateOrbArguments(const std::string& folder, const std::string& socket) {
  return {"-ORBendPoint", "giop:unix:" + socket,         "-ORBunixTransportDirectory",
          folder,         "-ORBunixTransportPermission", kSocketPermission};
}

std::string preparePrivateFolder(const std::string& folder) {
  if (folder.size() > kLongestFolder) {
    return "the private folder " + folder + " is too long for Unix sockets in it (" +
           std::to_string(folder.size()) + " characters, at most " +
           std::to_string(kLongestFolder) + "): choose a shorter one";
  }
  struct stat status {};
  if (lstat(folder.c_str(), &status) != 0) {
    if (errno != ENOENT) return folder + ": " + std::strerror(errno);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), error);
    if (mkdir(folder.c_str(), kOwnerOnly) != 0 || chmod(folder.c_str(), kOwnerOnly) != 0) {
      return "cannot make the private folder " + folder + ": " + std::strerror(errno);
    }
    return "";
  }
  if (!S_ISDIR(status.st_mode)) return folder + " is not a folder";
  if (status.st_uid != geteuid()) {
    return folder + " belongs to another user (uid " + std::to_string(status.st_uid) +
           "): a private system needs a folder of its owner";
  }
  if ((status.st_mode & kOthersBits) != 0) {
    return folder + " can be opened by other users (mode " + octal(status.st_mode) +
           "): chmod 700 " + folder + ", or name a folder of your own";
  }
  return "";
}

std::string confValueOf(const std::string& confText, const std::string& key) {
  std::istringstream lines(confText);
  std::string value;
  for (std::string line; std::getline(lines, line);) {
    line = trimmed(line);
    if (line.rfind(key, 0) != 0) continue;
    std::string rest = trimmed(line.substr(key.size()));
    if (rest.empty() || (rest[0] != ':' && rest[0] != '=')) continue;
    value = trimmed(rest.substr(1));
  }
  return value;
}

}  // namespace rtctl
