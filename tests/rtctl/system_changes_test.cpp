#include "tools/rtctl/system_changes.h"

#include <gtest/gtest.h>

#include "live_system_fixture.h"

namespace rtctl {
namespace {

TEST(SystemChanges, theFirstLookDescribesTheSystemAsItIs) {
  std::vector<std::string> lines = describeChanges(std::nullopt, snapshotOf(smallSystem(), {}));
  EXPECT_EQ(lines, (std::vector<std::string>{"Caller0: Inactive", "Listener0: Inactive",
                                             "Provider0: Active", "Talker0: Active",
                                             "connected Caller0.echo - Provider0.echo",
                                             "connected Listener0.in - Talker0.out"}));
}

TEST(SystemChanges, stateConnectionAndValueChangesAreOneLineEach) {
  LiveSystem live = smallSystem();
  WatchSnapshot before = snapshotOf(live, {});
  live[1].state = "Active";
  live[0].configurationSets[0].values[0].second = "bye";
  live[0].ports[0].connectors.clear();
  live[1].ports[0].connectors.clear();
  live[2].ports[0].connectors.push_back(connector("c-new", "Caller0.echo", "Other0.echo"));
  std::vector<std::string> lines = describeChanges(before, snapshotOf(live, {}));
  EXPECT_EQ(lines, (std::vector<std::string>{"Listener0: Inactive -> Active",
                                             "Talker0: default.message hello -> bye",
                                             "connected Caller0.echo - Other0.echo",
                                             "disconnected Listener0.in - Talker0.out"}));
  EXPECT_TRUE(describeChanges(before, before).empty());
}

TEST(SystemChanges, componentsThatComeGoOrStopAnsweringAreNamed) {
  LiveSystem live = smallSystem();
  WatchSnapshot before = snapshotOf(live, {});
  // Listener0 went away with its connection; Provider0's name is there, its process hung.
  LiveSystem after = {live[0], live[2], component("New0", "Inactive", {})};
  after[0].ports[0].connectors.clear();
  std::vector<std::string> lines =
      describeChanges(before, snapshotOf(after, {{"host.host_cxt/Provider0.rtc", "TRANSIENT"}}));
  EXPECT_EQ(lines, (std::vector<std::string>{"New0: appeared (Inactive)",
                                             "Provider0: Active -> not answering",
                                             "Listener0: gone from the name server",
                                             "disconnected Listener0.in - Talker0.out"}));
}

TEST(SystemChanges, aQuietNameServerIsOneLineAndItsReturnAnother) {
  WatchSnapshot before = snapshotOf(smallSystem(), {});
  WatchSnapshot quiet = before;
  quiet.nameServerAnswers = false;
  EXPECT_EQ(describeChanges(before, quiet),
            std::vector<std::string>{"the name server does not answer"});
  EXPECT_TRUE(describeChanges(quiet, quiet).empty());
  EXPECT_EQ(describeChanges(quiet, before),
            std::vector<std::string>{"the name server answers again"});
}

}  // namespace
}  // namespace rtctl
