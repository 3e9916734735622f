// A test that runs the plugin in the development host, with the host's terminal captured and
// an empty keyboard (a dialog without a prepared answer is cancelled).
#pragma once

#include <gtest/gtest.h>

#include <sstream>

#include "host/host.h"
#include "loaded_module.h"

class HostTest : public ::testing::Test {
 protected:
  HostTest() { devhost::serve(host); }

  // A plugin object whose initPlugin accepted the host.
  std::unique_ptr<CNZTPluginInterface> started_plugin() {
    auto plugin = create_plugin();
    EXPECT_TRUE(plugin->initPlugin());
    return plugin;
  }

  std::ostringstream terminal;
  std::istringstream keyboard;
  devhost::Host host{terminal, keyboard};
};
