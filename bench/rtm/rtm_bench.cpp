// Cost of the middleware against plain omniORB between two processes on loopback: the
// round trip of a small service call through a service port, and images of 400 × 400 × 3
// bytes through a data port, each beside the same transfer made with plain stubs.
#include <idl/OrvnCdrCodec.h>
#include <rtm/CorbaConsumer.h>
#include <rtm/CorbaPort.h>
#include <rtm/DataFlowComponentBase.h>
#include <rtm/DataOutPort.h>
#include <rtm/Manager.h>
#include <tests/support/test_support.h>

#include <benchmark/benchmark.h>
#include <RtmBench.hh>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr int kImageWidth = 400;
constexpr int kImageHeight = 400;
constexpr int kImageChannels = 3;
constexpr CORBA::ULong kImageBytes = kImageWidth * kImageHeight * kImageChannels;

class BenchClient : public RTC::DataFlowComponentBase {
 public:
  explicit BenchClient(RTC::Manager* manager)
      : RTC::DataFlowComponentBase(manager), echoPort("echo"), imageOut("image", image) {}
  RTC::ReturnCode_t onInitialize() override {
    echoPort.registerConsumer("echo", "RtmBench::Responder", echo);
    addPort(echoPort);
    addOutPort("image", imageOut);
    return RTC::RTC_OK;
  }
  RTC::CorbaPort echoPort;
  RTC::CorbaConsumer<RtmBench::Responder> echo;
  Orvn::TimedImageData image;
  RTC::OutPort<Orvn::TimedImageData> imageOut;
};

RTC::RTObject_impl* createClient(RTC::Manager* manager) { return new BenchClient(manager); }
void deleteClient(RTC::RTObject_impl* component) { delete component; }

struct Setup {
  std::unique_ptr<test_support::ChildProcess> peer;
  BenchClient* client = nullptr;
  RtmBench::Responder_var plainEcho;
  RtmBench::ImageSink_var plainImage;
  RtmBench::OctetSink_var plainOctets;
  RtmBench::Octets octets;
};
Setup* g_setup = nullptr;

Orvn::TimedImageData makeImage() {
  Orvn::TimedImageData image;
  image.data.nChannels = kImageChannels;
  image.data.depth = 8;
  image.data.origin = 0;
  image.data.width = kImageWidth;
  image.data.height = kImageHeight;
  image.data.imageSize = static_cast<CORBA::Long>(kImageBytes);
  image.data.widthStep = kImageWidth * kImageChannels;
  image.data.imgData.length(kImageBytes);
  for (CORBA::ULong i = 0; i < kImageBytes; ++i)
    image.data.imgData[i] = static_cast<CORBA::Char>(i * 7);
  return image;
}

void reportPercentiles(benchmark::State& state, std::vector<double>& latencies_us) {
  if (latencies_us.empty()) return;
  std::sort(latencies_us.begin(), latencies_us.end());
  auto at = [&](double fraction) {
    return latencies_us[static_cast<size_t>(fraction * (latencies_us.size() - 1))];
  };
  state.counters["p50_us"] = at(0.50);
  state.counters["p99_us"] = at(0.99);
}

template <class Call>
void timeCalls(benchmark::State& state, Call call) {
  std::vector<double> latencies_us;
  latencies_us.reserve(100000);
  CORBA::Long value = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(call(++value));
    latencies_us.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count());
  }
  reportPercentiles(state, latencies_us);
}

void ServiceCallThroughServicePort(benchmark::State& state) {
  timeCalls(state, [](CORBA::Long value) { return g_setup->client->echo->echo(value); });
}

void ServiceCallPlainStub(benchmark::State& state) {
  timeCalls(state, [](CORBA::Long value) { return g_setup->plainEcho->echo(value); });
}

void ImageThroughDataPort(benchmark::State& state) {
  BenchClient& client = *g_setup->client;
  for (auto _ : state) {
    ++client.image.tm.sec;
    if (!client.imageOut.write()) state.SkipWithError("write failed");
  }
  state.counters["samples_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void ImagePlainStub(benchmark::State& state) {
  Orvn::TimedImageData& image = g_setup->client->image;
  for (auto _ : state) {
    ++image.tm.sec;
    g_setup->plainImage->push(image);
  }
  state.counters["samples_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void ImageOctetsPlainStub(benchmark::State& state) {
  for (auto _ : state) g_setup->plainOctets->push(g_setup->octets);
  state.counters["samples_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(ServiceCallThroughServicePort)->UseRealTime()->MinTime(2.0);
BENCHMARK(ServiceCallPlainStub)->UseRealTime()->MinTime(2.0);
BENCHMARK(ImageThroughDataPort)->UseRealTime()->MinTime(3.0);
BENCHMARK(ImagePlainStub)->UseRealTime()->MinTime(3.0);
BENCHMARK(ImageOctetsPlainStub)->UseRealTime()->MinTime(3.0);

RTC::ConnectorProfile profileBetween(RTC::PortService_ptr first, RTC::PortService_ptr second) {
  RTC::ConnectorProfile profile;
  profile.name = "bench";
  profile.connector_id = "";
  profile.ports.length(2);
  profile.ports[0] = RTC::PortService::_duplicate(first);
  profile.ports[1] = RTC::PortService::_duplicate(second);
  return profile;
}

bool setUp(Setup& setup) {
  const std::vector<std::string> middleware_options = {
      "-o", "naming.enable:NO", "-o", "logger.enable:NO", "-o", "corba.endpoints:127.0.0.1:"};
  setup.peer = std::make_unique<test_support::ChildProcess>(test_support::binPath("rtm_bench_peer"),
                                                            middleware_options);
  if (!setup.peer->waitForOutput("READY", std::chrono::seconds(20))) {
    std::fprintf(stderr, "the benchmark peer did not start:\n%s\n", setup.peer->output().c_str());
    return false;
  }
  std::map<std::string, std::string> references;
  std::istringstream lines(setup.peer->standardOutput());
  std::string name, ior;
  while (lines >> name >> ior) references[name] = ior;

  std::vector<std::string> words = {"rtm_bench"};
  words.insert(words.end(), middleware_options.begin(), middleware_options.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  RTC::Manager* manager = RTC::Manager::init(static_cast<int>(argv.size()), argv.data());
  manager->activateManager();
  const char* const profile[] = {"type_name", "BenchClient", "category", "Bench", ""};
  coil::Properties properties(profile);
  manager->registerFactory(properties, createClient, deleteClient);
  setup.client = static_cast<BenchClient*>(manager->createComponent("BenchClient"));
  if (setup.client == nullptr) return false;

  CORBA::ORB_var orb = manager->getORB();
  auto reference = [&](const char* name) {
    return orb->string_to_object(references[name].c_str());
  };
  CORBA::Object_var echo_port = reference("ECHO_PORT");
  CORBA::Object_var image_port = reference("IMAGE_PORT");
  RTC::PortService_var peer_echo = RTC::PortService::_narrow(echo_port);
  RTC::PortService_var peer_image = RTC::PortService::_narrow(image_port);
  RTC::PortService_var my_echo = setup.client->echoPort.getPortRef();
  RTC::PortService_var my_image = setup.client->imageOut.getPortRef();
  RTC::ConnectorProfile echo_profile = profileBetween(my_echo, peer_echo);
  RTC::ConnectorProfile image_profile = profileBetween(my_image, peer_image);
  if (my_echo->connect(echo_profile) != RTC::RTC_OK ||
      my_image->connect(image_profile) != RTC::RTC_OK) {
    std::fprintf(stderr, "cannot connect to the benchmark peer\n");
    return false;
  }
  CORBA::Object_var plain_echo = reference("PLAIN_ECHO");
  CORBA::Object_var plain_image = reference("PLAIN_IMAGE");
  CORBA::Object_var plain_octets = reference("PLAIN_OCTETS");
  setup.plainEcho = RtmBench::Responder::_narrow(plain_echo);
  setup.plainImage = RtmBench::ImageSink::_narrow(plain_image);
  setup.plainOctets = RtmBench::OctetSink::_narrow(plain_octets);
  setup.client->image = makeImage();
  setup.octets.length(kImageBytes);
  for (CORBA::ULong i = 0; i < kImageBytes; ++i) setup.octets[i] = static_cast<CORBA::Octet>(i * 7);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Setup setup;
  g_setup = &setup;
  if (!setUp(setup)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  if (setup.client) setup.client->exit();
  RTC::Manager::instance().shutdown();
  return 0;
}
