// The HTTP server: loopback only by construction, the page, its data and the button requests.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <httplib.h>

#include "dashboard_server.h"

namespace dashboard {
namespace {

class ServerTest : public ::testing::Test {
 protected:
  ServerTest()
      : server_([this] { return snapshot_; },
                [this](const ActionRequest& action) {
                  requests_.push_back(action);
                  return ActionOutcome{"FINISH to the coordinator", true, "sent", 1.0};
                }) {
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->stateJson = R"({"components":[]})";
    snapshot->images["building"] = "\x89PNG fake";
    snapshot_ = snapshot;
    DashboardServer::Started started = server_.start(0);
    EXPECT_TRUE(started.error.empty()) << started.error;
    port_ = started.port;
  }

  httplib::Client client() { return httplib::Client(kLoopbackHost, port_); }

  std::shared_ptr<const Snapshot> snapshot_;
  std::vector<ActionRequest> requests_;
  DashboardServer server_;
  int port_ = 0;
};

TEST_F(ServerTest, TheListeningSocketIsBoundToTheLoopbackAddress) {
  EXPECT_EQ(server_.boundAddress(), "127.0.0.1:" + std::to_string(port_));
}

// Every IPv4 address of this machine that is not loopback.
std::vector<std::string> otherAddresses() {
  std::vector<std::string> addresses;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return addresses;
  for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET) continue;
    const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
    if ((ntohl(address->sin_addr.s_addr) >> 24) == 127) continue;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address->sin_addr, text, sizeof(text));
    addresses.push_back(text);
  }
  freeifaddrs(list);
  return addresses;
}

TEST_F(ServerTest, NoOtherAddressOfThisMachineAnswers) {
  for (const std::string& address : otherAddresses()) {
    int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(socket, 0);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<uint16_t>(port_));
    inet_pton(AF_INET, address.c_str(), &target.sin_addr);
    EXPECT_NE(connect(socket, reinterpret_cast<sockaddr*>(&target), sizeof(target)), 0)
        << "the page answers on " << address;
    close(socket);
  }
}

TEST_F(ServerTest, ServesThePageItsDataAndItsPictures) {
  httplib::Client http = client();
  auto page = http.Get("/");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_NE(page->body.find("<title>Mobile manipulator dashboard</title>"), std::string::npos);
  // Nothing of the page comes from elsewhere.
  for (const char* outside : {"src=\"http", "href=\"http", "url(http", "fetch('http", "@import"}) {
    EXPECT_EQ(page->body.find(outside), std::string::npos) << outside;
  }
  auto state = http.Get("/api/state");
  ASSERT_TRUE(state);
  EXPECT_EQ(state->body, R"({"components":[]})");
  EXPECT_EQ(state->get_header_value("Content-Type"), "application/json");
  auto building = http.Get("/img/building.png");
  ASSERT_TRUE(building);
  EXPECT_EQ(building->status, 200);
  EXPECT_EQ(building->body, "\x89PNG fake");
  EXPECT_EQ(building->get_header_value("Content-Type"), "image/png");
  auto missing = http.Get("/img/cell-top.png");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);
}

TEST_F(ServerTest, APressReachesTheWatcherWithTheButton) {
  httplib::Client http = client();
  auto answer = http.Post("/api/press", {{kRequestHeader, "1"}}, R"({"button":"finish"})",
                          "application/json");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 200);
  EXPECT_EQ(nlohmann::json::parse(answer->body)["detail"], "sent");
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].kind, ActionRequest::Kind::Word);
  EXPECT_EQ(requests_[0].button, "finish");
}

TEST_F(ServerTest, AStateChangeNamesTheComponentAndTheChange) {
  httplib::Client http = client();
  auto answer = http.Post("/api/state-change", {{kRequestHeader, "1"}},
                          R"({"component":"Torvane0","change":"deactivate"})", "application/json");
  ASSERT_TRUE(answer);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].kind, ActionRequest::Kind::Deactivate);
  EXPECT_EQ(requests_[0].component, "Torvane0");
  auto wrong = http.Post("/api/state-change", {{kRequestHeader, "1"}},
                         R"({"component":"Torvane0","change":"reset"})", "application/json");
  ASSERT_TRUE(wrong);
  EXPECT_EQ(wrong->status, 400);
  EXPECT_EQ(requests_.size(), 1u);
}

TEST_F(ServerTest, ARequestWithoutThePagesHeaderOrWithoutJsonIsRefused) {
  httplib::Client http = client();
  auto foreign = http.Post("/api/press", R"({"button":"finish"})", "application/json");
  ASSERT_TRUE(foreign);
  EXPECT_EQ(foreign->status, 403);
  auto garbage = http.Post("/api/press", {{kRequestHeader, "1"}}, "finish", "text/plain");
  ASSERT_TRUE(garbage);
  EXPECT_EQ(garbage->status, 400);
  EXPECT_TRUE(requests_.empty());
}

TEST(DashboardServer, APortInUseIsAnErrorNamingTheAddress) {
  auto source = [] { return std::make_shared<const Snapshot>(); };
  auto sink = [](const ActionRequest&) { return ActionOutcome{}; };
  DashboardServer first(source, sink);
  DashboardServer::Started started = first.start(0);
  ASSERT_TRUE(started.error.empty());
  DashboardServer second(source, sink);
  DashboardServer::Started refused = second.start(started.port);
  EXPECT_EQ(refused.port, 0);
  EXPECT_EQ(refused.error, "cannot listen on 127.0.0.1:" + std::to_string(started.port));
}

TEST(DashboardServer, StopsRightAfterStarting) {
  DashboardServer server([] { return std::make_shared<const Snapshot>(); },
                         [](const ActionRequest&) { return ActionOutcome{}; });
  DashboardServer::Started started = server.start(0);
  ASSERT_TRUE(started.error.empty());
  server.stop();
  httplib::Client http(kLoopbackHost, started.port);
  EXPECT_FALSE(http.Get("/"));
}

}  // namespace
}  // namespace dashboard
