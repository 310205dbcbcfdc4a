#pragma once
// Dashboard: the live page of the running system. The component's in-ports receive what the
// page shows of the data flow: `planning_img` (connect the planner's `planning_img`),
// `coordinator_words` (the coordinator's "output") and `planner_words` (the planner's
// "message"); its out-ports carry the words of the page's buttons: `coordinator_command`
// (connect it to the coordinator's "input") and `route_command` (to the planner's
// `in_message`). The coordinator's words travel as a string sequence of one string, the
// planner's as one string.
//
// Lifecycle: onInitialize registers the ports and starts the watcher (its own thread, reading
// the system at --poll-rate) and the HTTP server on 127.0.0.1:--port; onExecute (execution
// context's thread) hands every new sample to the watcher's inbox; onFinalize stops both.
// The page works whether or not the component is active; only its ports need activity.

// The port data types come first: the middleware's port templates find their Any operators
// only when they are declared before them.
#include <idl/OrvnCdrCodec.h>
#include <rtm/idl/BasicDataTypeSkel.h>
#include <Orvn.hh>

#include <rtm/DataFlowComponentBase.h>
#include <rtm/DataInPort.h>
#include <rtm/DataOutPort.h>
#include <rtm/Manager.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "dashboard_options.h"
#include "dashboard_server.h"
#include "frame_caption.h"
#include "scene_feed.h"
#include "system_reader.h"
#include "watcher.h"

class Dashboard : public RTC::DataFlowComponentBase {
 public:
  explicit Dashboard(RTC::Manager* manager);
  ~Dashboard() override;

  // Set by the program before the component is created.
  static void setOptions(const dashboard::DashboardOptions& options);

  RTC::ReturnCode_t onInitialize() override;
  RTC::ReturnCode_t onExecute(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onFinalize() override;

 private:
  void takeWords();
  void takePicture();
  // Called on the watcher's thread, the only one that writes the out-ports.
  std::string sendWord(dashboard::WordTarget target, const std::string& word);

  Orvn::TimedImageData image_;
  RTC::InPort<Orvn::TimedImageData> imageIn_;
  RTC::TimedStringSeq coordinatorWord_;
  RTC::InPort<RTC::TimedStringSeq> coordinatorWordsIn_;
  RTC::TimedString plannerWord_;
  RTC::InPort<RTC::TimedString> plannerWordsIn_;
  RTC::TimedStringSeq coordinatorCommand_;
  RTC::OutPort<RTC::TimedStringSeq> coordinatorCommandOut_;
  RTC::TimedString routeCommand_;
  RTC::OutPort<RTC::TimedString> routeCommandOut_;

  planviewer::CaptionCounter captions_;
  int picturesReceived_ = 0;
  std::atomic<bool> ending_{false};  // set first when the component ends
  std::unique_ptr<dashboard::SystemReader> reader_;
  std::unique_ptr<dashboard::SceneFeed> scenes_;  // used on the watcher's thread only
  std::unique_ptr<dashboard::Watcher> watcher_;
  std::unique_ptr<dashboard::DashboardServer> server_;
};

extern "C" void DashboardInit(RTC::Manager* manager);
