// A host that exports nothing but its version: the plugin binds to it, but finds neither a log
// nor a message box nor named parameters, and must not call them.
#include <gtest/gtest.h>

#include "host/host_export.h"
#include "loaded_module.h"
#include "plugin/host_functions.h"

namespace {
int version[3] = {2, 4, 1};
}

extern "C" {

ZT_HOST_EXPORT ztGetVersionOfCorvaneZT_function ztGetVersionOfCorvaneZT;

void ztGetVersionOfCorvaneZT(int* major, int* minor, int* sub_minor) {
  *major = version[0];
  *minor = version[1];
  *sub_minor = version[2];
}
}

namespace {

TEST(VersionOnlyHost, PluginRefusesAHostWithoutLogAndIsDestroyedSafely) {
  for (int minor : {4, 3}) {
    version[1] = minor;
    auto plugin = create_plugin();
    EXPECT_FALSE(plugin->initPlugin()) << "2." << minor << ".1";
    EXPECT_FALSE(plugin->execute());
  }
}

}  // namespace
