#include "test_components.h"

#include <shell/component_shell.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace rt_test {

namespace {

// One flushed line, so that a test reading the output file sees whole lines.
void say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

#define TEST_PROFILE(type, maxInstance, ...)                                                      \
  {                                                                                               \
    "implementation_id", type, "type_name", type, "description", type " test component",          \
        "version", "1.0.0", "vendor", "test", "category", "test", "activity_type", "PERIODIC",    \
        "kind", "DataFlowComponent", "max_instance", maxInstance, "language", "C++", "lang_type", \
        "compile", __VA_ARGS__ ""                                                                 \
  }

const char* const kTalkerProfile[] =
    TEST_PROFILE("Talker", "0", "conf.default.message", "hello", "conf.default.send_image", "0",
                 "conf.__widget__.message", "text", "conf.__widget__.send_image", "text", );
const char* const kListenerProfile[] = TEST_PROFILE("Listener", "0", );
const char* const kEchoProviderProfile[] = TEST_PROFILE("EchoProvider", "0", );
const char* const kEchoCallerProfile[] = TEST_PROFILE("EchoCaller", "0", );
const char* const kFarewellProfile[] = TEST_PROFILE("Farewell", "0", );
const char* const kWaiterProfile[] =
    TEST_PROFILE("Waiter", "0", "conf.default.give_way", "1", "conf.__widget__.give_way", "text", );
const char* const kProbeProfile[] =
    TEST_PROFILE("Probe", "2", "conf.default.gain", "1.5", "conf.default.label", "plain",
                 "conf.default.count", "7", "conf.default.fail_on_execute", "0",
                 "conf.__widget__.gain", "text", "conf.__widget__.label", "text",
                 "conf.__widget__.count", "text", "conf.__widget__.fail_on_execute", "text", );

}  // namespace

Talker::Talker(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager), textOut_("out", text_), imageOut_("image", image_) {}

RTC::ReturnCode_t Talker::onInitialize() {
  addOutPort("out", textOut_);
  addOutPort("image", imageOut_);
  bindParameter("message", message_, "hello");
  bindParameter("send_image", sendImage_, "0");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Talker::onExecute(RTC::UniqueId) {
  ++count_;
  text_.tm.sec = count_;
  text_.tm.nsec = 0;
  text_.data = (message_ + " #" + std::to_string(count_)).c_str();
  say("write " + std::to_string(count_) + (textOut_.write() ? " ok" : " failed"));
  if (sendImage_ == 1) {
    image_.tm.sec = count_;
    Orvn::ImageData& data = image_.data;
    data.nChannels = kImageChannels;
    data.depth = 8;
    data.origin = 0;
    data.width = kImageWidth;
    data.height = kImageHeight;
    data.imageSize = kImageBytes;
    data.widthStep = kImageWidth * kImageChannels;
    data.imgData.length(kImageBytes);
    for (int i = 0; i < kImageBytes; ++i) data.imgData[i] = imageByte(i, count_);
    say("image write " + std::to_string(count_) + (imageOut_.write() ? " ok" : " failed"));
  }
  return RTC::RTC_OK;
}

Listener::Listener(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager), textIn_("in", text_), imageIn_("image", image_) {}

RTC::ReturnCode_t Listener::onInitialize() {
  addInPort("in", textIn_);
  addInPort("image", imageIn_);
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Listener::onExecute(RTC::UniqueId) {
  while (textIn_.isNew()) {
    textIn_.read();
    say(std::string("received: ") + text_.data.in());
  }
  while (imageIn_.isNew()) {
    imageIn_.read();
    const Orvn::ImageData& data = image_.data;
    std::string pattern = "ok";
    if (static_cast<int>(data.imgData.length()) != data.imageSize) pattern = "bad size";
    if (data.widthStep != data.width * data.nChannels) {
      pattern = "bad widthStep " + std::to_string(data.widthStep);
    }
    for (int i = 0; pattern == "ok" && i < static_cast<int>(data.imgData.length()); ++i) {
      if (data.imgData[i] != imageByte(i, image_.tm.sec)) {
        pattern = "bad at byte " + std::to_string(i) + ": " + std::to_string(data.imgData[i]) +
                  " instead of " + std::to_string(imageByte(i, image_.tm.sec));
      }
    }
    say("image received: " + std::to_string(data.width) + "x" + std::to_string(data.height) + "x" +
        std::to_string(data.nChannels) + " bytes=" + std::to_string(data.imgData.length()) +
        " pattern=" + pattern);
  }
  return RTC::RTC_OK;
}

char* EchoServant::repeat(const char* text) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (lastText_ != text) say(std::string("echo called: ") + text);
    lastText_ = text;
  }
  return CORBA::string_dup(("echo:" + std::string(text)).c_str());
}

CORBA::Long EchoServant::add(CORBA::Long a, CORBA::Long b) { return a + b; }

EchoProvider::EchoProvider(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager), port_("echo") {}

RTC::ReturnCode_t EchoProvider::onInitialize() {
  port_.registerProvider("echo0", "Echo", servant_);
  addPort(port_);
  return RTC::RTC_OK;
}

EchoCaller::EchoCaller(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager), port_("echo") {}

RTC::ReturnCode_t EchoCaller::onInitialize() {
  port_.registerConsumer("echo0", "Echo", echo_);
  addPort(port_);
  return RTC::RTC_OK;
}

RTC::ReturnCode_t EchoCaller::onExecute(RTC::UniqueId) {
  std::string line;
  if (CORBA::is_nil(echo_._ptr())) {
    line = "consumer nil";
  } else {
    try {
      CORBA::String_var reply = echo_->repeat("ping");
      line = std::string("reply: ") + reply.in() + " sum=" + std::to_string(echo_->add(2, 40));
    } catch (const CORBA::Exception& error) {
      line = std::string("call failed: ") + error._name();
    }
  }
  if (line != lastLine_) say(line);
  lastLine_ = line;
  return RTC::RTC_OK;
}

Probe::Probe(RTC::Manager* manager) : RTC::DataFlowComponentBase(manager) {}

Probe::~Probe() { say("destroyed Probe"); }

RTC::ReturnCode_t Probe::onInitialize() {
  say("callback: onInitialize");
  bindParameter("gain", gain_, "1.5");
  bindParameter("label", label_, "plain");
  bindParameter("count", count_, "7");
  bindParameter("fail_on_execute", failOnExecute_, "0");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Probe::onFinalize() {
  say("callback: onFinalize");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Probe::onStartup(RTC::UniqueId) {
  say("callback: onStartup");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Probe::onShutdown(RTC::UniqueId) {
  say("callback: onShutdown");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Probe::onActivated(RTC::UniqueId) {
  say("callback: onActivated");
  char values[160];
  std::snprintf(values, sizeof values, "config: gain=%g label=%s count=%d", gain_, label_.c_str(),
                count_);
  say(values);
  executedSinceActivation_ = false;
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Probe::onDeactivated(RTC::UniqueId) {
  say("callback: onDeactivated");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Probe::onExecute(RTC::UniqueId) {
  if (!executedSinceActivation_) say("callback: onExecute");
  executedSinceActivation_ = true;
  return failOnExecute_ == 1 ? RTC::RTC_ERROR : RTC::RTC_OK;
}

RTC::ReturnCode_t Probe::onAborting(RTC::UniqueId) {
  say("callback: onAborting");
  inErrorSinceAborting_ = false;
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Probe::onError(RTC::UniqueId) {
  if (!inErrorSinceAborting_) say("callback: onError");
  inErrorSinceAborting_ = true;
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Probe::onReset(RTC::UniqueId) {
  say("callback: onReset");
  return RTC::RTC_OK;
}

Farewell::Farewell(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager), textOut_("out", text_), port_("echo") {}

RTC::ReturnCode_t Farewell::onInitialize() {
  addOutPort("out", textOut_);
  port_.registerConsumer("echo0", "Echo", echo_);
  addPort(port_);
  return RTC::RTC_OK;
}

void Farewell::sayGoodbye(const std::string& callback) {
  text_.data = ("farewell from " + callback).c_str();
  textOut_.write();
  if (CORBA::is_nil(echo_._ptr())) {
    say(callback + ": consumer nil");
    return;
  }
  try {
    CORBA::String_var reply = echo_->repeat(callback.c_str());
    say(callback + ": reply: " + reply.in());
  } catch (const CORBA::Exception& error) {
    say(callback + ": call failed: " + error._name());
  }
}

RTC::ReturnCode_t Farewell::onDeactivated(RTC::UniqueId) {
  sayGoodbye("onDeactivated");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Farewell::onFinalize() {
  sayGoodbye("onFinalize");
  return RTC::RTC_OK;
}

Waiter::Waiter(RTC::Manager* manager) : RTC::DataFlowComponentBase(manager) {}

RTC::ReturnCode_t Waiter::onInitialize() {
  bindParameter("give_way", giveWay_, "1");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Waiter::onExecute(RTC::UniqueId) {
  say("waiter: waiting");
  while (giveWay_ != 1 || !isDeactivationPending())
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  say("waiter: gave way");
  return RTC::RTC_OK;
}

void registerTestComponents(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, kTalkerProfile, shell::createComponent<Talker>,
                                  shell::destroyComponent);
  shell::registerComponentFactory(manager, kListenerProfile, shell::createComponent<Listener>,
                                  shell::destroyComponent);
  shell::registerComponentFactory(manager, kEchoProviderProfile,
                                  shell::createComponent<EchoProvider>, shell::destroyComponent);
  shell::registerComponentFactory(manager, kEchoCallerProfile, shell::createComponent<EchoCaller>,
                                  shell::destroyComponent);
  shell::registerComponentFactory(manager, kProbeProfile, shell::createComponent<Probe>,
                                  shell::destroyComponent);
  shell::registerComponentFactory(manager, kFarewellProfile, shell::createComponent<Farewell>,
                                  shell::destroyComponent);
  shell::registerComponentFactory(manager, kWaiterProfile, shell::createComponent<Waiter>,
                                  shell::destroyComponent);
}

}  // namespace rt_test
