// A component process with one TimedString in-port, for tests of writers whose reader
// dies or hangs. Prints "READER_PORT <IOR of the in-port>" once it is up.
#include <rtm/DataFlowComponentBase.h>
#include <rtm/DataInPort.h>
#include <rtm/Manager.h>
#include <rtm/idl/BasicDataTypeSkel.h>
#include <shell/component_shell.h>

#include <cstdio>

namespace {

class Reader : public RTC::DataFlowComponentBase {
 public:
  explicit Reader(RTC::Manager* manager) : RTC::DataFlowComponentBase(manager), in_("in", value_) {}
  RTC::ReturnCode_t onInitialize() override {
    addInPort("in", in_);
    return RTC::RTC_OK;
  }
  RTC::InPort<RTC::TimedString>& in() { return in_; }

 private:
  RTC::TimedString value_;
  RTC::InPort<RTC::TimedString> in_;
};

RTC::RTObject_impl* createReader(RTC::Manager* manager) { return new Reader(manager); }
void deleteReader(RTC::RTObject_impl* component) { delete component; }

void moduleInit(RTC::Manager* manager) {
  const char* const profile[] = {"type_name",    "Reader", "category", "Test",
                                 "max_instance", "1",      ""};
  coil::Properties properties(profile);
  manager->registerFactory(properties, createReader, deleteReader);
  auto* reader = static_cast<Reader*>(manager->createComponent("Reader"));
  if (reader == nullptr) return;
  CORBA::ORB_var orb = manager->getORB();
  RTC::PortService_var port = reader->in().getPortRef();
  CORBA::String_var ior = orb->object_to_string(port);
  std::printf("READER_PORT %s\n", ior.in());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) { return shell::runComponentProcess(argc, argv, moduleInit); }
