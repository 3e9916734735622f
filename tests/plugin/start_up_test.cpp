// initPlugin, its version check, and the closing line of destruction, in the development host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_fixture.h"

namespace {

const std::string refusal = "Can not execute this plugin - CorvaneZT version 2.4.1 or higher required.";
const std::string greeting = "Running lotwrightwizard...";
const std::string closing = "lotwrightplugin finished!";

using StartUp = HostTest;

TEST_F(StartUp, AcceptsHostsFrom241OnAndRefusesOlderOnes) {
  struct Case {
    devhost::HostVersion version;
    bool accepted;
  };
  const Case cases[] = {{{2, 4, 1}, true},   {{2, 4, 0}, false}, {{2, 3, 9}, false}, {{1, 9, 9}, false},
                        {{2, 5, 0}, true},   {{3, 0, 0}, true},  {{2, 4, 7}, true},  {{1, 99, 99}, false},
                        {{2, 3, 99}, false}, {{2, 5, -1}, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.version.major) + "." + std::to_string(c.version.minor) + "." +
                 std::to_string(c.version.sub_minor));
    host.version = c.version;
    host.log.clear();
    host.messages.clear();
    host.log_tab_shown = false;
    EXPECT_EQ(create_plugin()->initPlugin(), c.accepted);
    EXPECT_EQ(host.log_tab_shown, c.accepted);
    if (c.accepted) {
      EXPECT_TRUE(host.messages.empty());
      EXPECT_EQ(host.log, (std::vector<std::string>{greeting, closing}));
    } else {
      EXPECT_EQ(host.messages, std::vector<std::string>{refusal});
      EXPECT_EQ(host.log, std::vector<std::string>{closing});
    }
  }
}

TEST_F(StartUp, RefusedPluginShowsTheMessageAndStillLogsItsClosingLine) {
  host.version = {2, 3, 9};
  auto plugin = create_plugin();
  EXPECT_FALSE(plugin->initPlugin());
  EXPECT_EQ(host.messages, std::vector<std::string>{refusal});
  EXPECT_TRUE(host.log.empty());
  plugin.reset();
  EXPECT_EQ(host.log, std::vector<std::string>{closing});
}

TEST_F(StartUp, CreatingAnObjectLogsNothing) {
  auto plugin = create_plugin();
  EXPECT_TRUE(host.log.empty());
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(StartUp, EachObjectLogsItsOwnClosingLine) {
  auto first = started_plugin();
  auto second = started_plugin();
  ASSERT_NE(first.get(), second.get());
  host.log.clear();
  first.reset();
  EXPECT_EQ(host.log, std::vector<std::string>{closing});
  second.reset();
  EXPECT_EQ(host.log, (std::vector<std::string>{closing, closing}));
}

TEST_F(StartUp, ExecuteAfterARefusalTouchesNothing) {
  host.set_text_parameter("Command", "GetFileName");
  host.prepare_answer({1, "/data/run1.fmr"});
  host.version = {2, 4, 0};
  auto plugin = create_plugin();
  ASSERT_FALSE(plugin->initPlugin());
  const auto before = host.parameters.values();

  EXPECT_FALSE(plugin->execute());
  EXPECT_EQ(host.parameters.values(), before);
  EXPECT_TRUE(host.dialogs.empty());
}

}  // namespace
