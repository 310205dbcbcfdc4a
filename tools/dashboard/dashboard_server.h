#pragma once
// The dashboard's HTTP server: one page and its data, on 127.0.0.1 only. The address is not an
// option: the server binds the loopback address or nothing, so no other machine can reach it
// (from another machine the page is reached through an SSH tunnel, see the README).
//
// Handlers never talk to the system: they hand out the last snapshot (JSON and pictures) and
// pass button presses to the watcher, whose answer they wait for.
//
//   GET  /                  the page
//   GET  /api/state         the snapshot's JSON (page_state.h)
//   GET  /img/NAME.png      planning, building, cell-top, cell-side (404 while there is none)
//   POST /api/press         {"button": "object-start"}: sends that button's word
//   POST /api/state-change  {"component": "Torvane0", "change": "activate" | "deactivate"}
// POST requests must carry the header "X-Dashboard: 1", which a page of another site cannot
// add without asking first (and the server never allows it), so no other site's page can
// press the buttons through the user's browser.
#include <httplib.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "watcher_types.h"

namespace dashboard {

inline constexpr const char* kLoopbackHost = "127.0.0.1";
inline constexpr const char* kRequestHeader = "X-Dashboard";

class DashboardServer {
 public:
  using SnapshotSource = std::function<std::shared_ptr<const Snapshot>()>;
  using ActionSink = std::function<ActionOutcome(const ActionRequest&)>;

  DashboardServer(SnapshotSource snapshots, ActionSink actions);
  ~DashboardServer();
  DashboardServer(const DashboardServer&) = delete;
  DashboardServer& operator=(const DashboardServer&) = delete;

  // Binds 127.0.0.1:port (0: a free port) and serves on a thread of its own. Returns the port,
  // or an error text naming the address.
  struct Started {
    int port = 0;
    std::string error;
  };
  Started start(int port);
  // The address the listening socket is bound to, "127.0.0.1:8080", read from the socket.
  std::string boundAddress() const;
  void stop();

 private:
  class Server;
  void route();

  SnapshotSource snapshots_;
  ActionSink actions_;
  std::unique_ptr<Server> server_;
  std::thread serving_;
  std::atomic<bool> listenEnded_{false};
};

}  // namespace dashboard
