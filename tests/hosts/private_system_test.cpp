// The simulated system locked to its owner: rtctl launch with a name server on a Unix socket
// puts every process on sockets in a folder only the owner can open. Another user of the
// machine (nobody, through runuser) can neither list nor drive it; the owner can. Needs root
// (to be another user) and runuser.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "launched_system.h"

namespace hosts_test {
namespace {

using test_support::Seconds;

const Seconds kCallTimeout{60};
constexpr const char* kOtherUser = "nobody";

std::string whyNotAsAnotherUser() {
  if (geteuid() != 0) return "needs root to run rtctl as another user";
  if (access("/usr/sbin/runuser", X_OK) != 0 && access("/sbin/runuser", X_OK) != 0) {
    return "needs runuser";
  }
  return "";
}

// The inodes of the TCP sockets that listen, on any address.
std::set<std::string> listeningTcpInodes() {
  std::set<std::string> inodes;
  for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
    std::ifstream in(table);
    std::string line;
    std::getline(in, line);  // the heading
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      std::vector<std::string> field;
      for (std::string word; fields >> word;) field.push_back(word);
      // sl local remote state ... inode is the tenth field; 0A is LISTEN.
      if (field.size() > 9 && field[3] == "0A") inodes.insert(field[9]);
    }
  }
  return inodes;
}

// The socket inodes the process holds open.
std::set<std::string> socketInodesOf(int pid) {
  std::set<std::string> inodes;
  const std::string folder = "/proc/" + std::to_string(pid) + "/fd";
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    const std::string target = std::filesystem::read_symlink(entry.path(), ignored).string();
    if (target.rfind("socket:[", 0) == 0) inodes.insert(target.substr(8, target.size() - 9));
  }
  return inodes;
}

class PrivateSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string whyNot = whyNotAsAnotherUser();
    if (!whyNot.empty()) GTEST_SKIP() << "the private system is not tried: " << whyNot;
  }

  test_support::RunResult asOtherUser(const std::vector<std::string>& arguments) const {
    std::vector<std::string> all{"-u", kOtherUser, "--", test_support::binPath("rtctl"),
                                 "-n", socket_};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return test_support::runProgram("runuser", all, kCallTimeout);
  }

  test_support::TempDir parent_{"mm-private-"};
  std::string folder_ = parent_.file("robot");
  std::string socket_ = folder_ + "/names.sock";
};

TEST_F(PrivateSystemTest, anotherUserCanNeitherListNorDriveItWhileTheOwnerCan) {
  LaunchOptions options;
  options.systemFile = shippedSystemFile("demo.system");
  options.nameServer = socket_;
  LaunchedSystem system(options);
  ASSERT_TRUE(system.waitUntilUp()) << system.launch().output();

  // The folder is the owner's alone, and so is every socket in it.
  struct stat status {};
  ASSERT_EQ(stat(folder_.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  int sockets = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    ASSERT_EQ(stat(entry.path().c_str(), &status), 0);
    if (!S_ISSOCK(status.st_mode)) continue;
    ++sockets;
    EXPECT_EQ(status.st_mode & 0077, 0u) << entry.path();
  }
  EXPECT_GE(sockets, 7) << "the name server's and one for each of the six programs";
  // And no process of the system listens on TCP, on any address.
  const std::set<std::string> listening = listeningTcpInodes();
  const std::vector<int> pids = system.programPids();
  ASSERT_EQ(pids.size(), 6u) << system.launch().output();
  for (int pid : pids) {
    for (const std::string& inode : socketInodesOf(pid)) {
      EXPECT_EQ(listening.count(inode), 0u) << "pid " << pid << " listens on TCP";
    }
  }

  // The other user: nothing to list, nothing to read or change, nothing to stop.
  for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
           {"ls"},
           {"conf", "Palkett0"},
           {"conf", "Palkett0", "set", "xWorldR_m", "0.5"},
           {"deactivate", "Palkett0"},
           {"inject", "Palkett0:input", "HIRO_OBJ_MANIP_START"}}) {
    const auto refused = asOtherUser(command);
    EXPECT_FALSE(refused.status.exitedWith(0)) << command[0] << ": " << refused.out;
    EXPECT_EQ(refused.out.find("Palkett0"), std::string::npos) << refused.out;
    EXPECT_NE(
        refused.err.find(socket_ + ": Permission denied (the system is private to another user)"),
        std::string::npos)
        << refused.err;
  }

  // The owner: everything, and the other user changed nothing.
  const auto listing = system.rtctl({"ls"}, kCallTimeout);
  EXPECT_TRUE(listing.status.exitedWith(0)) << listing.err;
  EXPECT_TRUE(std::regex_search(listing.out, std::regex(R"(Palkett0\.rtc +Active)")))
      << listing.out;
  const auto values = system.rtctl({"conf", "Palkett0"}, kCallTimeout);
  EXPECT_NE(values.out.find("xWorldR_m = +0.350"), std::string::npos) << values.out;
  const auto changed =
      system.rtctl({"conf", "Palkett0", "set", "xWorldR_m", "0.351"}, kCallTimeout);
  EXPECT_TRUE(changed.status.exitedWith(0)) << changed.err;
  // A word the coordinator takes in any state without moving the robot.
  const auto sent = system.rtctl({"inject", "Palkett0:input", "FINISH"}, kCallTimeout);
  EXPECT_TRUE(sent.status.exitedWith(0)) << sent.err;
  const auto changedValues = system.rtctl({"conf", "Palkett0"}, kCallTimeout);
  EXPECT_NE(changedValues.out.find("xWorldR_m = 0.351"), std::string::npos) << changedValues.out;

  const auto stopped = system.stop();
  ASSERT_TRUE(stopped) << system.launch().output();
  EXPECT_TRUE(stopped->exitedWith(0)) << stopped->describe() << "\n" << system.launch().output();
  // Nothing is left in the folder.
  EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

}  // namespace
}  // namespace hosts_test
