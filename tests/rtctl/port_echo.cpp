// PortEcho, a component for the port-data tests: one in-port and one out-port for each data
// type that the system's ports carry (and a few more of the IDL), each sample taken in
// written out unchanged, so that what rtctl injects comes back for rtctl print. The in-ports
// make their writer wait when full (16 samples), so a flood is never dropped; each word on
// "string_in" is also printed as "word: <text>". While active, "tick" counts the cycles.
// "wide_in" (RTC::TimedWString) is there to be refused by rtctl.
#include <idl/OrvnCdrCodec.h>
#include <rtm/idl/BasicDataTypeSkel.h>
#include <shell/component_shell.h>

#include <Orvn.hh>
#include <Pexa.hh>
#include <Zemla.hh>
#include <cstdio>
#include <memory>
#include <vector>

#include <rtm/DataFlowComponentBase.h>
#include <rtm/DataInPort.h>
#include <rtm/DataOutPort.h>
#include <rtm/Manager.h>

namespace {

constexpr int kBufferLength = 16;
constexpr int kWriteTimeout_ms = 100;

class Forwarder {
 public:
  virtual ~Forwarder() = default;
  virtual void registerOn(RTC::DataFlowComponentBase& component) = 0;
  // Writes out every sample that came in; the number written.
  virtual int forward() = 0;
};

template <class T>
class EchoPair : public Forwarder {
 public:
  explicit EchoPair(const std::string& name)
      : inName_(name + "_in"),
        outName_(name + "_out"),
        in_(inName_.c_str(), value_, kBufferLength, false, true, 0, kWriteTimeout_ms),
        out_(outName_.c_str(), value_) {}

  void registerOn(RTC::DataFlowComponentBase& component) override {
    component.addInPort(inName_.c_str(), in_);
    component.addOutPort(outName_.c_str(), out_);
  }

  int forward() override {
    int count = 0;
    while (in_.isNew()) {
      if (!in_.read()) continue;
      said(value_);
      out_.write();
      ++count;
    }
    return count;
  }

 private:
  void said(const RTC::TimedString& word) {
    std::printf("word: %s\n", static_cast<const char*>(word.data));
    std::fflush(stdout);
  }
  template <class Other>
  void said(const Other&) {}

  std::string inName_;
  std::string outName_;
  T value_{};
  RTC::InPort<T> in_;
  RTC::OutPort<T> out_;
};

class PortEcho : public RTC::DataFlowComponentBase {
 public:
  explicit PortEcho(RTC::Manager* manager)
      : RTC::DataFlowComponentBase(manager), tickOut_("tick", tick_) {
    pairs_.push_back(std::make_unique<EchoPair<RTC::TimedString>>("string"));
    pairs_.push_back(std::make_unique<EchoPair<RTC::TimedStringSeq>>("words"));
    pairs_.push_back(std::make_unique<EchoPair<RTC::TimedPose2D>>("rtc_pose"));
    pairs_.push_back(std::make_unique<EchoPair<RTC::TimedVelocity2D>>("rtc_velocity"));
    pairs_.push_back(std::make_unique<EchoPair<Pexa::TimedPose2D>>("pose"));
    pairs_.push_back(std::make_unique<EchoPair<Pexa::TimedVelocity2D>>("velocity"));
    pairs_.push_back(std::make_unique<EchoPair<Pexa::TimedPoseVel2DSeq>>("waypoints"));
    pairs_.push_back(std::make_unique<EchoPair<Orvn::TimedImageData>>("image"));
    pairs_.push_back(std::make_unique<EchoPair<RTC::TimedDoubleSeq>>("doubles"));
    pairs_.push_back(std::make_unique<EchoPair<RTC::TimedOctetSeq>>("octets"));
    pairs_.push_back(std::make_unique<EchoPair<Zemla::TimedEstimatedPose2D>>("estimate"));
    pairs_.push_back(std::make_unique<EchoPair<RTC::TimedLong>>("count"));
    // A type of the IDL that no data port can carry (wide characters need a code set).
    pairs_.push_back(std::make_unique<EchoPair<RTC::TimedWString>>("wide"));
  }

  RTC::ReturnCode_t onInitialize() override {
    for (auto& pair : pairs_) pair->registerOn(*this);
    addOutPort("tick", tickOut_);
    return RTC::RTC_OK;
  }

  RTC::ReturnCode_t onExecute(RTC::UniqueId) override {
    for (auto& pair : pairs_) pair->forward();
    ++tick_.data;
    tickOut_.write();
    return RTC::RTC_OK;
  }

 private:
  std::vector<std::unique_ptr<Forwarder>> pairs_;
  RTC::TimedLong tick_{};
  RTC::OutPort<RTC::TimedLong> tickOut_;
};

const char* const kPortEchoProfile[] = {"implementation_id",
                                        "PortEcho",
                                        "type_name",
                                        "PortEcho",
                                        "description",
                                        "writes out what comes in",
                                        "version",
                                        "1.0.0",
                                        "vendor",
                                        "test",
                                        "category",
                                        "test",
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

void registration(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, kPortEchoProfile, shell::createComponent<PortEcho>,
                                  shell::destroyComponent);
}

void moduleInit(RTC::Manager* manager) {
  shell::createComponentOrFail(manager, registration, "PortEcho");
}

}  // namespace

int main(int argc, char** argv) { return shell::runComponentProcess(argc, argv, moduleInit); }
