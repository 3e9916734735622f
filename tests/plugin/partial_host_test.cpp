// A host that exports only some of its functions: the version, the log, the named parameters
// and the open-file dialog, but no message box and none of the other host functions. This
// program is that host; it also writes "FileType" without a terminating zero, the way a host
// that ignores the buffer bound would.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/host_export.h"
#include "loaded_module.h"
#include "plugin/host_functions.h"

namespace {

int version[3] = {2, 4, 1};
std::vector<std::string> log_lines;
std::vector<std::string> filters;

}  // namespace

extern "C" {

ZT_HOST_EXPORT ztGetVersionOfCorvaneZT_function ztGetVersionOfCorvaneZT;
ZT_HOST_EXPORT ztShowLogTab_function ztShowLogTab;
ZT_HOST_EXPORT ztLogText_function ztLogText;
ZT_HOST_EXPORT ztGetStringParameter_function ztGetStringParameter;
ZT_HOST_EXPORT ztSetStringParameter_function ztSetStringParameter;
ZT_HOST_EXPORT ztSetIntParameter_function ztSetIntParameter;
ZT_HOST_EXPORT ztGetOpenFileName_function ztGetOpenFileName;

void ztGetVersionOfCorvaneZT(int* major, int* minor, int* sub_minor) {
  *major = version[0];
  *minor = version[1];
  *sub_minor = version[2];
}

void ztShowLogTab() {}

void ztLogText(const char* text) { log_lines.emplace_back(text); }

void ztGetStringParameter(const char* name, char* buffer) {
  if (std::strcmp(name, "Command") == 0)
    std::strcpy(buffer, "GetFileName");
  else
    std::memset(buffer, 'f', zt_parameter_text_capacity);
}

void ztSetStringParameter(const char*, const char*) {}

void ztSetIntParameter(const char*, int) {}

int ztGetOpenFileName(const char*, const char*, const char* filter, char*) {
  filters.emplace_back(filter);
  return 0;
}
}

namespace {

class PartialHost : public ::testing::Test {
 protected:
  PartialHost() {
    version[1] = 4;
    log_lines.clear();
    filters.clear();
  }
};

TEST_F(PartialHost, PluginStartsWithoutTheFunctionsItDoesNotNeed) {
  auto plugin = create_plugin();
  EXPECT_TRUE(plugin->initPlugin());
  EXPECT_EQ(log_lines, std::vector<std::string>{"Running lotwrightwizard..."});
}

TEST_F(PartialHost, TooOldHostWithoutMessageBoxIsRefusedQuietly) {
  version[1] = 3;
  auto plugin = create_plugin();
  EXPECT_FALSE(plugin->initPlugin());
  plugin.reset();
  EXPECT_EQ(log_lines, std::vector<std::string>{"lotwrightplugin finished!"});
}

TEST_F(PartialHost, UnterminatedParameterIsCutAtTheEndOfThePluginBuffer) {
  auto plugin = create_plugin();
  ASSERT_TRUE(plugin->initPlugin());
  EXPECT_TRUE(plugin->execute());
  ASSERT_EQ(filters.size(), 1u);
  EXPECT_EQ(filters[0], std::string(zt_parameter_text_capacity - 1, 'f'));
}

}  // namespace
