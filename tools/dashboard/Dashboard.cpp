#include "Dashboard.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <shell/component_shell.h>
#include <shell/time_scale.h>

#include "planning_image_data.h"

namespace {

const char* const dashboard_profile[] = {"implementation_id",
                                         "Dashboard",
                                         "type_name",
                                         "Dashboard",
                                         "description",
                                         "The live page of the running system, on 127.0.0.1",
                                         "version",
                                         "1.0.0",
                                         "vendor",
                                         "MobileManipulator",
                                         "category",
                                         "Viewer",
                                         "activity_type",
                                         "PERIODIC",
                                         "kind",
                                         "DataFlowComponent",
                                         "max_instance",
                                         "1",
                                         "language",
                                         "C++",
                                         "lang_type",
                                         "compile",
                                         ""};

dashboard::DashboardOptions& launchOptions() {
  static dashboard::DashboardOptions options;
  return options;
}

// Shown for a coordinator sample that carries no string at all.
const char* const kNoString = "(no string)";

double steadyNow_s() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The first name server of rtc.conf's comma list, where the component is bound too.
std::string firstNameServer(RTC::Manager& manager) {
  std::string servers = manager.getConfig().getProperty("corba.nameservers");
  std::string first = servers.substr(0, servers.find(','));
  const auto begin = first.find_first_not_of(" \t");
  const auto end = first.find_last_not_of(" \t");
  return begin == std::string::npos ? "" : first.substr(begin, end - begin + 1);
}

std::optional<std::string> readWholeFile(const std::string& path) {
  std::ifstream file(path);
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

void Dashboard::setOptions(const dashboard::DashboardOptions& options) {
  launchOptions() = options;
}

Dashboard::Dashboard(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager),
      imageIn_("planning_img", image_),
      coordinatorWordsIn_("coordinator_words", coordinatorWord_),
      plannerWordsIn_("planner_words", plannerWord_),
      coordinatorCommandOut_("coordinator_command", coordinatorCommand_),
      routeCommandOut_("route_command", routeCommand_),
      captions_(shell::timeScaleOf(manager->getConfig())) {}

Dashboard::~Dashboard() = default;

RTC::ReturnCode_t Dashboard::onInitialize() {
  addInPort("planning_img", imageIn_);
  addInPort("coordinator_words", coordinatorWordsIn_);
  addInPort("planner_words", plannerWordsIn_);
  addOutPort("coordinator_command", coordinatorCommandOut_);
  addOutPort("route_command", routeCommandOut_);

  const dashboard::DashboardOptions& options = launchOptions();
  RTC::Manager& manager = RTC::Manager::instance();
  CORBA::ORB_var orb = manager.getORB();
  const std::string nameServer = firstNameServer(manager);
  reader_ = std::make_unique<dashboard::SystemReader>(orb.in(), nameServer, ending_);
  scenes_ = std::make_unique<dashboard::SceneFeed>(orb.in(), nameServer);

  dashboard::WatcherLinks links;
  links.readSystem = [this] { return reader_->read(); };
  links.changeState = [this](const std::string& name, bool activate) {
    return reader_->changeState(name, activate);
  };
  links.drawScenes = [this] { return scenes_->draw(); };
  links.sendWord = [this](dashboard::WordTarget target, const std::string& word) {
    return sendWord(target, word);
  };
  if (!options.stepsFile.empty()) {
    const std::string stepsFile = options.stepsFile;
    links.readStepsFile = [stepsFile] { return readWholeFile(stepsFile); };
    links.stepsFileName = stepsFile;
  }
  watcher_ = std::make_unique<dashboard::Watcher>(std::move(links), options.pollRate_hz);
  server_ = std::make_unique<dashboard::DashboardServer>(
      [this] { return watcher_->snapshot(); },
      [this](const dashboard::ActionRequest& action) { return watcher_->request(action); });
  dashboard::DashboardServer::Started started = server_->start(options.httpPort);
  if (!started.error.empty()) {
    std::fprintf(stderr, "Dashboard: %s\n", started.error.c_str());
    return RTC::RTC_ERROR;
  }
  watcher_->start();
  std::printf("Dashboard: http://%s/\n", server_->boundAddress().c_str());
  std::fflush(stdout);
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Dashboard::onExecute(RTC::UniqueId) {
  takeWords();
  takePicture();
  return RTC::RTC_OK;
}

void Dashboard::takeWords() {
  while (coordinatorWordsIn_.isNew()) {
    coordinatorWordsIn_.read();
    // The coordinator looks at the first string only, and so does the page.
    const std::string word = coordinatorWord_.data.length() > 0
                                 ? static_cast<const char*>(coordinatorWord_.data[0])
                                 : kNoString;
    watcher_->inbox().addWord(dashboard::WordTarget::Coordinator, word, dashboard::wallClock_s());
  }
  while (plannerWordsIn_.isNew()) {
    plannerWordsIn_.read();
    watcher_->inbox().addWord(dashboard::WordTarget::Planner,
                              static_cast<const char*>(plannerWord_.data),
                              dashboard::wallClock_s());
  }
}

void Dashboard::takePicture() {
  bool fresh = false;
  while (imageIn_.isNew()) {
    imageIn_.read();
    ++picturesReceived_;
    fresh = true;
  }
  if (!fresh) return;
  planviewer::FrameResult frame = planviewer::toBgrFrame(planviewer::rawImageOf(image_.data));
  if (!frame.ok) {
    std::fprintf(stderr, "Dashboard: planning image %d refused: %s\n", picturesReceived_,
                 frame.error.c_str());
    return;
  }
  dashboard::ReceivedFrame received;
  received.caption = captions_.next(frame.bgr, steadyNow_s());
  received.picture = frame.bgr;
  received.received = picturesReceived_;
  received.time_s = dashboard::wallClock_s();
  watcher_->inbox().setFrame(std::move(received));
}

std::string Dashboard::sendWord(dashboard::WordTarget target, const std::string& word) {
  const bool toCoordinator = target == dashboard::WordTarget::Coordinator;
  RTC::OutPortBase& port = toCoordinator ? static_cast<RTC::OutPortBase&>(coordinatorCommandOut_)
                                         : static_cast<RTC::OutPortBase&>(routeCommandOut_);
  const char* portName = toCoordinator ? "coordinator_command" : "route_command";
  if (port.connectionCount() == 0) {
    return std::string("not sent: Dashboard's ") + portName + " is connected to nothing";
  }
  bool delivered = false;
  if (toCoordinator) {
    coordinatorCommand_.data.length(1);
    coordinatorCommand_.data[0] = word.c_str();
    delivered = coordinatorCommandOut_.write();
  } else {
    routeCommand_.data = word.c_str();
    delivered = routeCommandOut_.write();
  }
  if (!delivered) return std::string("not delivered on every connection of ") + portName;
  std::printf("Dashboard: sent %s on %s\n", word.c_str(), portName);
  std::fflush(stdout);
  return "";
}

RTC::ReturnCode_t Dashboard::onFinalize() {
  ending_ = true;
  if (server_) server_->stop();
  if (watcher_) watcher_->stop();
  return RTC::RTC_OK;
}

extern "C" void DashboardInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, dashboard_profile, shell::createComponent<Dashboard>,
                                  shell::destroyComponent);
}
