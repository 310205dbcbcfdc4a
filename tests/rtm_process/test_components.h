// Small components for the middleware's cross-process tests. Each prints what it does as one
// flushed line on standard output, so that tests can wait for those lines.
#pragma once

#include <rtm/CorbaConsumer.h>
#include <rtm/CorbaPort.h>
#include <rtm/DataFlowComponentBase.h>
#include <rtm/DataInPort.h>
#include <rtm/DataOutPort.h>
#include <rtm/Manager.h>
#include <rtm/idl/BasicDataTypeSkel.h>

#include <idl/OrvnCdrCodec.h>
#include <Orvn.hh>
#include <RtTestEcho.hh>

#include <mutex>
#include <string>

namespace rt_test {

// The image the talker sends: 400 × 400 pixels of 3 channels, 480,000 bytes.
inline constexpr int kImageWidth = 400;
inline constexpr int kImageHeight = 400;
inline constexpr int kImageChannels = 3;
inline constexpr int kImageBytes = kImageWidth * kImageHeight * kImageChannels;

// Byte i of the image stamped seed.
inline CORBA::Char imageByte(int i, unsigned seed) {
  return static_cast<CORBA::Char>((i * 7 + seed) & 0xFF);
}

// Writes "message #n" on "out" every period while active (and, with send_image 1, an image
// on "image"); prints "write <n> ok" or "write <n> failed".
class Talker : public RTC::DataFlowComponentBase {
 public:
  explicit Talker(RTC::Manager* manager);
  RTC::ReturnCode_t onInitialize() override;
  RTC::ReturnCode_t onExecute(RTC::UniqueId ec_id) override;

 private:
  RTC::TimedString text_;
  RTC::OutPort<RTC::TimedString> textOut_;
  Orvn::TimedImageData image_;
  RTC::OutPort<Orvn::TimedImageData> imageOut_;
  std::string message_;
  int sendImage_ = 0;
  unsigned count_ = 0;
};

// Prints "received: <text>" for each string and "image received: <w>x<h>x<c> bytes=<n>
// pattern=ok" for each image (or what is wrong with it instead of "ok").
class Listener : public RTC::DataFlowComponentBase {
 public:
  explicit Listener(RTC::Manager* manager);
  RTC::ReturnCode_t onInitialize() override;
  RTC::ReturnCode_t onExecute(RTC::UniqueId ec_id) override;

 private:
  RTC::TimedString text_;
  RTC::InPort<RTC::TimedString> textIn_;
  Orvn::TimedImageData image_;
  RTC::InPort<Orvn::TimedImageData> imageIn_;
};

// Prints "echo called: <text>" whenever repeat() is called with another text than last time.
class EchoServant : public virtual POA_RtTest::Echo {
 public:
  char* repeat(const char* text) override;
  CORBA::Long add(CORBA::Long a, CORBA::Long b) override;

 private:
  std::mutex mutex_;
  std::string lastText_;
};

// Provides RtTest::Echo as "echo0" on its port "echo".
class EchoProvider : public RTC::DataFlowComponentBase {
 public:
  explicit EchoProvider(RTC::Manager* manager);
  RTC::ReturnCode_t onInitialize() override;

 private:
  RTC::CorbaPort port_;
  EchoServant servant_;
};

// Requires "echo0" on its port "echo"; while active it calls repeat("ping") each period and
// prints "reply: <text>", "consumer nil" or "call failed: <exception>" whenever that changes.
class EchoCaller : public RTC::DataFlowComponentBase {
 public:
  explicit EchoCaller(RTC::Manager* manager);
  RTC::ReturnCode_t onInitialize() override;
  RTC::ReturnCode_t onExecute(RTC::UniqueId ec_id) override;

 private:
  RTC::CorbaPort port_;
  RTC::CorbaConsumer<RtTest::Echo> echo_;
  std::string lastLine_;
};

// Prints "callback: <name>" for every lifecycle callback (onExecute and onError once per
// entry into their state) and "config: gain=<g> label=<l> count=<c>" on activation. With
// fail_on_execute 1 its onExecute returns an error. max_instance is 2.
class Probe : public RTC::DataFlowComponentBase {
 public:
  explicit Probe(RTC::Manager* manager);
  ~Probe() override;
  RTC::ReturnCode_t onInitialize() override;
  RTC::ReturnCode_t onFinalize() override;
  RTC::ReturnCode_t onStartup(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onShutdown(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onActivated(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onDeactivated(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onExecute(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onAborting(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onError(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onReset(RTC::UniqueId ec_id) override;

 private:
  double gain_ = 0;
  std::string label_;
  int count_ = 0;
  int failOnExecute_ = 0;
  bool executedSinceActivation_ = false;
  bool inErrorSinceAborting_ = false;
};

// Has a last word at the end: in onDeactivated and in onFinalize it writes "farewell from
// <callback>" on "out" and calls repeat("<callback>") on the "echo0" it requires on its port
// "echo", printing "<callback>: reply: <text>", "<callback>: consumer nil" or
// "<callback>: call failed: <exception>".
class Farewell : public RTC::DataFlowComponentBase {
 public:
  explicit Farewell(RTC::Manager* manager);
  RTC::ReturnCode_t onInitialize() override;
  RTC::ReturnCode_t onDeactivated(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onFinalize() override;

 private:
  void sayGoodbye(const std::string& callback);

  RTC::TimedString text_;
  RTC::OutPort<RTC::TimedString> textOut_;
  RTC::CorbaPort port_;
  RTC::CorbaConsumer<RtTest::Echo> echo_;
};

// Its onExecute waits (printing "waiter: waiting" once) until the context asks it to give way
// (isDeactivationPending()) and then prints "waiter: gave way"; with give_way 0 it never
// returns.
class Waiter : public RTC::DataFlowComponentBase {
 public:
  explicit Waiter(RTC::Manager* manager);
  RTC::ReturnCode_t onInitialize() override;
  RTC::ReturnCode_t onExecute(RTC::UniqueId ec_id) override;

 private:
  int giveWay_ = 1;
};

// Registers the factories of all of the above.
void registerTestComponents(RTC::Manager* manager);

}  // namespace rt_test
