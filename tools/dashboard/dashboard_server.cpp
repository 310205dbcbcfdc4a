#include "dashboard_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>

#include "dashboard_page_html.h"

namespace dashboard {

namespace {

// Requests are few (one page polling once a second); a few threads serve them.
constexpr std::size_t kServingThreads = 4;

const char* const kJsonType = "application/json";

void answerJson(httplib::Response& response, int status, const nlohmann::json& body) {
  response.status = status;
  response.set_content(body.dump(), kJsonType);
}

void answerOutcome(httplib::Response& response, const ActionOutcome& outcome) {
  answerJson(response, outcome.ok ? 200 : 409,
             {{"what", outcome.what}, {"ok", outcome.ok}, {"detail", outcome.detail}});
}

// The request's JSON object, or null after answering 400.
std::optional<nlohmann::json> requestObject(const httplib::Request& request,
                                            httplib::Response& response) {
  if (request.get_header_value(kRequestHeader) != "1") {
    answerJson(response, 403, {{"ok", false}, {"detail", "the page's own requests only"}});
    return std::nullopt;
  }
  nlohmann::json body = nlohmann::json::parse(request.body, nullptr, false);
  if (!body.is_object()) {
    answerJson(response, 400, {{"ok", false}, {"detail", "a JSON object is expected"}});
    return std::nullopt;
  }
  return body;
}

std::string stringField(const nlohmann::json& body, const char* key) {
  auto found = body.find(key);
  return found != body.end() && found->is_string() ? found->get<std::string>() : "";
}

}  // namespace

// httplib's server with its listening socket in reach, so that the bound address can be read
// back from the socket itself.
class DashboardServer::Server : public httplib::Server {
 public:
  std::string boundAddress() const {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    if (getsockname(svr_sock_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        address.ss_family != AF_INET) {
      return "";
    }
    const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(&address);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof(text));
    return std::string(text) + ":" + std::to_string(ntohs(ipv4->sin_port));
  }
};

DashboardServer::DashboardServer(SnapshotSource snapshots, ActionSink actions)
    : snapshots_(std::move(snapshots)),
      actions_(std::move(actions)),
      server_(std::make_unique<Server>()) {
  server_->new_task_queue = [] { return new httplib::ThreadPool(kServingThreads); };
  server_->set_address_family(AF_INET);
  // httplib's default also sets SO_REUSEPORT, with which a second dashboard on the same port
  // would share it silently; a port in use must be an error.
  server_->set_socket_options([](socket_t socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
  });
  route();
}

DashboardServer::~DashboardServer() { stop(); }

void DashboardServer::route() {
  server_->Get("/", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(kDashboardPageHtml, "text/html; charset=utf-8");
  });
  server_->Get("/api/state", [this](const httplib::Request&, httplib::Response& response) {
    std::shared_ptr<const Snapshot> snapshot = snapshots_();
    response.set_header("Cache-Control", "no-store");
    response.set_content(snapshot->stateJson, kJsonType);
  });
  server_->Get(R"(/img/([a-z-]+)\.png)",
               [this](const httplib::Request& request, httplib::Response& response) {
                 std::shared_ptr<const Snapshot> snapshot = snapshots_();
                 auto image = snapshot->images.find(request.matches[1]);
                 response.set_header("Cache-Control", "no-store");
                 if (image == snapshot->images.end()) {
                   response.status = 404;
                   response.set_content("no picture yet", "text/plain");
                   return;
                 }
                 response.set_content(image->second, "image/png");
               });
  server_->Post("/api/press", [this](const httplib::Request& request, httplib::Response& response) {
    std::optional<nlohmann::json> body = requestObject(request, response);
    if (!body) return;
    ActionRequest action;
    action.kind = ActionRequest::Kind::Word;
    action.button = stringField(*body, "button");
    answerOutcome(response, actions_(action));
  });
  server_->Post(
      "/api/state-change", [this](const httplib::Request& request, httplib::Response& response) {
        std::optional<nlohmann::json> body = requestObject(request, response);
        if (!body) return;
        ActionRequest action;
        std::string change = stringField(*body, "change");
        if (change != "activate" && change != "deactivate") {
          answerJson(response, 400, {{"ok", false}, {"detail", "change: activate or deactivate"}});
          return;
        }
        action.kind =
            change == "activate" ? ActionRequest::Kind::Activate : ActionRequest::Kind::Deactivate;
        action.component = stringField(*body, "component");
        answerOutcome(response, actions_(action));
      });
}

DashboardServer::Started DashboardServer::start(int port) {
  Started started;
  if (port == 0) {
    started.port = server_->bind_to_any_port(kLoopbackHost);
  } else if (server_->bind_to_port(kLoopbackHost, port)) {
    started.port = port;
  }
  if (started.port <= 0) {
    started.port = 0;
    started.error = std::string("cannot listen on ") + kLoopbackHost + ":" + std::to_string(port);
    return started;
  }
  serving_ = std::thread([this] {
    server_->listen_after_bind();
    listenEnded_ = true;
  });
  return started;
}

std::string DashboardServer::boundAddress() const { return server_->boundAddress(); }

void DashboardServer::stop() {
  if (!serving_.joinable()) return;
  // A stop before the serving thread has begun to listen would be lost.
  while (!server_->is_running() && !listenEnded_) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  server_->stop();
  serving_.join();
}

}  // namespace dashboard
