// "Command" and "FileType" of every length a host may store, and longer ones that the
// development host refuses. The plugin reads them into buffers whose size the host is not told.
#include <gtest/gtest.h>

#include <string>

#include "host_fixture.h"

namespace {

class ParameterLength : public HostTest {
 protected:
  std::unique_ptr<CNZTPluginInterface> plugin = started_plugin();
};

TEST_F(ParameterLength, FileTypeOfAnyStorableLengthReachesTheDialogWhole) {
  for (std::size_t length : {111u, 112u, 4000u, 4095u}) {
    SCOPED_TRACE(length);
    const std::string file_type(length, 'f');
    host.dialogs.clear();
    ASSERT_TRUE(host.set_text_parameter("FileType", file_type));
    host.set_text_parameter("Command", "GetFileName");
    EXPECT_TRUE(plugin->execute());
    ASSERT_EQ(host.dialogs.size(), 1u);
    EXPECT_EQ(host.dialogs[0].filter, file_type);
  }
}

TEST_F(ParameterLength, LongCommandsAreUnknownCommands) {
  for (std::size_t length : {111u, 112u, 4000u, 4095u}) {
    SCOPED_TRACE(length);
    std::string command = "GetFileName";
    command.resize(length, 'c');
    ASSERT_TRUE(host.set_text_parameter("Command", command));
    const auto before = host.parameters.values();
    EXPECT_TRUE(plugin->execute());
    EXPECT_EQ(host.parameters.values(), before);
    EXPECT_TRUE(host.dialogs.empty());
  }
}

TEST_F(ParameterLength, HostRefusesTextsLongerThanAPluginBuffer) {
  host.set_text_parameter("Command", "GetTextFileName");
  host.set_text_parameter("FileType", "Corvane functional project (*.fmr)");
  for (std::size_t length : {4096u, 100000u}) {
    SCOPED_TRACE(length);
    EXPECT_FALSE(host.set_text_parameter("Command", std::string(length, 'c')));
    EXPECT_FALSE(host.set_text_parameter("FileType", std::string(length, 'f')));
    EXPECT_NE(terminal.str().find("[refused] parameter \"FileType\" keeps its value: the new text has " +
                                  std::to_string(length) + " characters"),
              std::string::npos);
  }
  // The plugin still sees the values stored before.
  host.prepare_answer({1, "/data/sources.txt"});
  EXPECT_TRUE(plugin->execute());
  EXPECT_EQ(host.parameters.text("Filename"), "/data/sources.txt");
}

}  // namespace
