#include "tools/rtctl/port_data_requests.h"

#include <gtest/gtest.h>

namespace rtctl {
namespace {

template <class Request>
Request parsed(Verb verb, const std::vector<std::string>& arguments) {
  ParsedPortDataRequest result = parsePortDataRequest(verb, arguments);
  EXPECT_EQ(result.error, "");
  const Request* request = std::get_if<Request>(&result.request);
  EXPECT_NE(request, nullptr);
  return request ? *request : Request{};
}

std::string refusal(Verb verb, const std::vector<std::string>& arguments) {
  ParsedPortDataRequest result = parsePortDataRequest(verb, arguments);
  EXPECT_FALSE(result.error.empty());
  EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
  return result.error;
}

TEST(PortDataRequests, printTakesCountTimeoutFormatAndImageFolder) {
  auto print = parsed<PrintRequest>(Verb::Print, {"Talker0:out", "-n", "3", "--timeout", "2.5",
                                                  "--format", "json", "--save", "frames"});
  EXPECT_EQ(print.port.component, "Talker0");
  EXPECT_EQ(print.port.port, "out");
  EXPECT_EQ(print.count, 3);
  EXPECT_DOUBLE_EQ(*print.timeout_s, 2.5);
  EXPECT_EQ(print.format, SampleFormat::Json);
  EXPECT_EQ(print.saveFolder, "frames");
  EXPECT_EQ(parsed<PrintRequest>(Verb::Print, {"A:out"}).format, SampleFormat::Text);
}

TEST(PortDataRequests, printOptionsDoNotClashWithTheNameServerOption) {
  auto whole =
      parseCommandLine({"-n", "127.0.0.1:5000", "print", "Talker0:out", "-n", "3"}, nullptr);
  ASSERT_TRUE(whole.invocation) << whole.error;
  EXPECT_EQ(whole.invocation->nameServer, "127.0.0.1:5000");
  EXPECT_EQ(parsed<PrintRequest>(Verb::Print, whole.invocation->portDataArguments).count, 3);
}

TEST(PortDataRequests, injectKeepsTheTextWholeOrReadsLines) {
  auto one = parsed<InjectRequest>(Verb::Inject, {"Palkett0:input", "HIRO_OBJ_MANIP_START now"});
  EXPECT_EQ(one.text, "HIRO_OBJ_MANIP_START now");
  EXPECT_EQ(one.file, "-");
  auto lines = parsed<InjectRequest>(
      Verb::Inject, {"Palkett0:input", "--file", "words.txt", "--format", "json", "--rate", "20"});
  EXPECT_FALSE(lines.text);
  EXPECT_EQ(lines.file, "words.txt");
  EXPECT_EQ(lines.format, SampleFormat::Json);
  EXPECT_DOUBLE_EQ(*lines.rate_hz, 20.0);
  auto repeated = parsed<InjectRequest>(
      Verb::Inject, {"BaseSim0:robot_control", "data: {vx: 0.1}", "--rate", "10", "-n", "50"});
  EXPECT_EQ(repeated.count, 50);
  EXPECT_NE(refusal(Verb::Inject, {"A:in", "-n", "5"}).find("--rate"), std::string::npos);
}

TEST(PortDataRequests, hzRecordAndReplayTakeTheirOptions) {
  auto hz =
      parsed<HzRequest>(Verb::Hz, {"Torvane0:planning_img", "--window", "50", "--duration", "10"});
  EXPECT_EQ(hz.window, 50);
  EXPECT_DOUBLE_EQ(*hz.duration_s, 10.0);

  auto record = parsed<RecordRequest>(
      Verb::Record, {"run.rec", "BaseSim0:robot_pose", "Torvane0:robot_control", "--service",
                     "Torvane0:RelativeMapService", "--duration", "30"});
  EXPECT_EQ(record.file, "run.rec");
  ASSERT_EQ(record.ports.size(), 2u);
  EXPECT_EQ(record.ports[1].port, "robot_control");
  ASSERT_EQ(record.services.size(), 1u);
  EXPECT_EQ(record.services[0].component, "Torvane0");
  EXPECT_DOUBLE_EQ(*record.duration_s, 30.0);
  EXPECT_TRUE(parsed<RecordRequest>(Verb::Record, {"--info", "run.rec"}).info);

  auto replay = parsed<ReplayRequest>(Verb::Replay, {"run.rec", "--rate", "10", "--map",
                                                     "BaseSim0:robot_pose=Torvane1:robot_pose"});
  EXPECT_DOUBLE_EQ(replay.rate, 10.0);
  ASSERT_EQ(replay.mappings.size(), 1u);
  EXPECT_EQ(replay.mappings[0].recorded, "BaseSim0:robot_pose");
  EXPECT_EQ(replay.mappings[0].target.component, "Torvane1");
}

TEST(PortDataRequests, mistakesAreOneLineNamingTheVerb) {
  EXPECT_EQ(refusal(Verb::Print, {":out"}).rfind("print: ", 0), 0u);
  EXPECT_NE(refusal(Verb::Print, {"A:out", "--format", "xml"}).find("text or json"),
            std::string::npos);
  EXPECT_NE(refusal(Verb::Record, {"run.rec"}).find("at least one"), std::string::npos);
  EXPECT_NE(refusal(Verb::Replay, {"run.rec", "--map", "=B:in"}).find("OLD=NEW:port"),
            std::string::npos);
  refusal(Verb::Hz, {"A:out", "--window", "-3"});
  refusal(Verb::Print, {"A:out", "--follow"});
}

}  // namespace
}  // namespace rtctl
