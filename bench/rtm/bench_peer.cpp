// The far side of the middleware benchmark, in its own process: a component with an echo
// provider on a service port and an image in-port that reads every sample, plus the same
// services as plain omniORB servants. Prints one "<NAME> <IOR>" line each, then "READY".
#include <idl/OrvnCdrCodec.h>
#include <rtm/CorbaPort.h>
#include <rtm/DataFlowComponentBase.h>
#include <rtm/DataInPort.h>
#include <rtm/Manager.h>
#include <shell/component_shell.h>

#include <RtmBench.hh>

#include <atomic>
#include <cstdio>

namespace {

class EchoImpl : public virtual POA_RtmBench::Responder {
 public:
  CORBA::Long echo(CORBA::Long value) override { return value; }
};

class ImageSinkImpl : public virtual POA_RtmBench::ImageSink {
 public:
  void push(const Orvn::TimedImageData& image) override { lastSec = image.tm.sec; }
  std::atomic<unsigned long> lastSec{0};
};

class OctetSinkImpl : public virtual POA_RtmBench::OctetSink {
 public:
  void push(const RtmBench::Octets& data) override { lastLength = data.length(); }
  std::atomic<unsigned long> lastLength{0};
};

class BenchPeer : public RTC::DataFlowComponentBase {
 public:
  explicit BenchPeer(RTC::Manager* manager)
      : RTC::DataFlowComponentBase(manager), echoPort("echo"), imageIn("image", image_) {}
  RTC::ReturnCode_t onInitialize() override {
    echoPort.registerProvider("echo", "RtmBench::Responder", echo_);
    addPort(echoPort);
    addInPort("image", imageIn);
    return RTC::RTC_OK;
  }
  RTC::ReturnCode_t onExecute(RTC::UniqueId) override {
    while (imageIn.read()) {
    }
    return RTC::RTC_OK;
  }
  RTC::CorbaPort echoPort;
  RTC::InPort<Orvn::TimedImageData> imageIn;

 private:
  EchoImpl echo_;
  Orvn::TimedImageData image_;
};

RTC::RTObject_impl* createPeer(RTC::Manager* manager) { return new BenchPeer(manager); }
void deletePeer(RTC::RTObject_impl* component) { delete component; }

void printReference(const char* name, CORBA::Object_ptr object) {
  CORBA::ORB_var orb = RTC::Manager::instance().getORB();
  CORBA::String_var ior = orb->object_to_string(object);
  std::printf("%s %s\n", name, ior.in());
}

void moduleInit(RTC::Manager* manager) {
  const char* const profile[] = {"type_name",    "BenchPeer", "category", "Bench",
                                 "max_instance", "1",         ""};
  coil::Properties properties(profile);
  manager->registerFactory(properties, createPeer, deletePeer);
  auto* peer = static_cast<BenchPeer*>(manager->createComponent("BenchPeer"));
  if (peer == nullptr) return;
  RTC::RTObject_var component = peer->getObjRef();
  RTC::ExecutionContextList_var contexts = component->get_owned_contexts();
  contexts[0]->activate_component(component);

  static EchoImpl plain_echo;
  static ImageSinkImpl plain_image;
  static OctetSinkImpl plain_octets;
  PortableServer::POA_var poa = manager->getPOA();
  PortableServer::ObjectId_var id = poa->activate_object(&plain_echo);
  CORBA::Object_var echo = poa->id_to_reference(id);
  id = poa->activate_object(&plain_image);
  CORBA::Object_var image = poa->id_to_reference(id);
  id = poa->activate_object(&plain_octets);
  CORBA::Object_var octets = poa->id_to_reference(id);

  RTC::PortService_var echo_port = peer->echoPort.getPortRef();
  RTC::PortService_var image_port = peer->imageIn.getPortRef();
  printReference("ECHO_PORT", echo_port);
  printReference("IMAGE_PORT", image_port);
  printReference("PLAIN_ECHO", echo);
  printReference("PLAIN_IMAGE", image);
  printReference("PLAIN_OCTETS", octets);
  std::printf("READY\n");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) { return shell::runComponentProcess(argc, argv, moduleInit); }
