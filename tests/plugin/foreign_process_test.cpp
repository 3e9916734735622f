// The plugin loaded into a process whose executable is not CorvaneZT.exe, although it exports
// every host function: the plugin does not bind to it and shows nothing.
#include <gtest/gtest.h>

#include "host_fixture.h"

namespace {

using ForeignProcess = HostTest;

TEST_F(ForeignProcess, PluginRefusesSilently) {
  host.set_text_parameter("Command", "GetFileName");
  const auto before = host.parameters.values();
  auto plugin = create_plugin();

  EXPECT_FALSE(plugin->execute()) << "before initPlugin";
  EXPECT_FALSE(plugin->initPlugin());
  EXPECT_FALSE(plugin->execute());
  plugin.reset();

  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(host.log.empty());
  EXPECT_FALSE(host.log_tab_shown);
  EXPECT_TRUE(host.dialogs.empty());
  EXPECT_EQ(host.parameters.values(), before);
}

}  // namespace
