// The module as a host first sees it: its exports and its identification texts.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "host_fixture.h"

namespace {

const std::map<std::string, std::string> identification_texts = {
    {"getPluginName", "lotwrightwizard (v1.5)"},
    {"getPluginDescription", "Plugin to process multiple Corvane files<br>"},
    {"getAuthor", "<i>Pellandry</i>, Tellwick"},
    {"getHelpFile", ""},
    {"getPluginVersion", "1.5"},
    {"getGUIScript", "lotwrightwizard_v15.js"},
};

void expect_identification_texts(const char* moment) {
  SCOPED_TRACE(moment);
  for (const auto& text : loaded_module().identification) {
    const char* value = text.function();
    ASSERT_NE(value, nullptr) << text.export_name;
    EXPECT_EQ(value, identification_texts.at(text.export_name)) << text.export_name;
  }
}

using Identification = HostTest;

TEST_F(Identification, ModuleExportsItsSevenFunctionsUnderPlainNames) {
  for (const char* name : {"createPlugin", "getPluginName", "getPluginDescription", "getAuthor", "getHelpFile",
                           "getPluginVersion", "getGUIScript"})
    EXPECT_NE(loaded_module().find(name), nullptr) << name;
  EXPECT_EQ(loaded_module().identification.size(), identification_texts.size());
}

TEST_F(Identification, TextsStayTheSameBeforeDuringAndAfterThePluginObject) {
  expect_identification_texts("before createPlugin");
  auto plugin = started_plugin();
  expect_identification_texts("while the object lives");
  plugin.reset();
  expect_identification_texts("after the object was destroyed");
}

}  // namespace
