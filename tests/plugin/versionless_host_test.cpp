// A host that exports its log and message box but no version function: the plugin binds none
// of its functions, so it neither starts nor writes to the log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/host_export.h"
#include "loaded_module.h"
#include "plugin/host_functions.h"

namespace {
std::vector<std::string> shown;
}

extern "C" {

ZT_HOST_EXPORT ztMessageBox_function ztMessageBox;
ZT_HOST_EXPORT ztShowLogTab_function ztShowLogTab;
ZT_HOST_EXPORT ztLogText_function ztLogText;

void ztMessageBox(const char* text) { shown.emplace_back(text); }

void ztShowLogTab() { shown.emplace_back("log tab"); }

void ztLogText(const char* text) { shown.emplace_back(text); }
}

namespace {

TEST(VersionlessHost, PluginBindsNothingAndShowsNothing) {
  auto plugin = create_plugin();
  EXPECT_FALSE(plugin->initPlugin());
  EXPECT_FALSE(plugin->execute());
  plugin.reset();
  EXPECT_TRUE(shown.empty());
}

}  // namespace
