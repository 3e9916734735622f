// The wizard commands, run by the plugin in the development host.
#include <gtest/gtest.h>

#include <string>

#include "host_fixture.h"

namespace {

class Commands : public HostTest {
 protected:
  // Runs the command as the wizard script does: stores it, then has the host run the plugin.
  bool run(const std::string& command) {
    host.set_text_parameter("Command", command);
    return plugin->execute();
  }

  std::string parameter(const std::string& name) const { return host.parameters.text(name); }
  bool has_parameter(const std::string& name) const { return host.parameters.values().count(name) > 0; }

  std::unique_ptr<CNZTPluginInterface> plugin = started_plugin();
};

TEST_F(Commands, EachCommandShowsItsDialogAndStoresTheChosenPath) {
  struct Case {
    std::string command, caption, filter, path_parameter, other_path_parameter;
  };
  const Case cases[] = {
      {"GetFileName", "Please select the source file", "Corvane functional project (*.fmr)", "Filename",
       "TargetFilename"},
      {"GetTargetFileName", "Please select the intra-session alignment target file for this source file",
       "Corvane functional project (*.fmr)", "TargetFilename", "Filename"},
      {"GetTextFileName", "Please select the text file with source filenames",
       "Text file with source filenames (*.txt)", "Filename", "TargetFilename"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    host.parameters = {};
    host.dialogs.clear();
    host.set_text_parameter("FileType", "Corvane functional project (*.fmr)");
    host.prepare_answer({1, "/data/study/chosen file"});

    EXPECT_TRUE(run(c.command));
    ASSERT_EQ(host.dialogs.size(), 1u);
    EXPECT_EQ(host.dialogs[0].caption, c.caption);
    EXPECT_EQ(host.dialogs[0].initial, "");
    EXPECT_EQ(host.dialogs[0].filter, c.filter);
    EXPECT_EQ(parameter(c.path_parameter), "/data/study/chosen file");
    EXPECT_FALSE(has_parameter(c.other_path_parameter));
    EXPECT_EQ(host.parameters.values().at("ErrorNr"), devhost::ParameterStore::Value(0));
    EXPECT_FALSE(has_parameter("ErrorMsg"));
  }
}

TEST_F(Commands, GetFileNamePassesFileTypeUnchangedEvenWhenEmpty) {
  for (const std::string file_type : {"Anatomical project (*.vmr)", " odd  text\twith blanks ", ""}) {
    host.dialogs.clear();
    host.set_text_parameter("FileType", file_type);
    EXPECT_TRUE(run("GetFileName"));
    ASSERT_EQ(host.dialogs.size(), 1u);
    EXPECT_EQ(host.dialogs[0].filter, file_type);
  }
}

TEST_F(Commands, AnyDialogResultButOneMeansNoFileSelected) {
  host.set_text_parameter("TargetFilename", "/data/earlier.fmr");
  for (int result : {0, 2, -1}) {
    SCOPED_TRACE(result);
    host.parameters.set_text("ErrorMsg", "");
    // The host even writes a path: the plugin must not take it.
    host.prepare_answer({result, "/data/not chosen.fmr"});
    EXPECT_TRUE(run("GetTargetFileName"));
    EXPECT_EQ(parameter("ErrorNr"), "-1");
    EXPECT_EQ(parameter("ErrorMsg"), "No file selected");
    EXPECT_EQ(parameter("TargetFilename"), "/data/earlier.fmr");
  }
}

TEST_F(Commands, SuccessAfterFailureLeavesTheErrorMessage) {
  host.prepare_answer({0, ""});
  run("GetTextFileName");
  host.prepare_answer({1, "/data/sources.txt"});
  run("GetTextFileName");
  EXPECT_EQ(parameter("ErrorNr"), "0");
  EXPECT_EQ(parameter("ErrorMsg"), "No file selected");
  EXPECT_EQ(parameter("Filename"), "/data/sources.txt");
}

TEST_F(Commands, UnknownCommandsTouchNothing) {
  host.set_text_parameter("FileType", "Corvane functional project (*.fmr)");
  for (const std::string command : {"GetDirectory", "", "getfilename", "GetFilename", "GetFileName ", " GetFileName"}) {
    SCOPED_TRACE('"' + command + '"');
    host.set_text_parameter("Command", command);
    const auto before = host.parameters.values();
    EXPECT_TRUE(plugin->execute());
    EXPECT_EQ(host.parameters.values(), before);
    EXPECT_TRUE(host.dialogs.empty());
  }
}

TEST_F(Commands, PathThatFillsTheResultBufferIsTakenWhole) {
  const std::string longest(zt_file_name_capacity - 1, 'p');
  host.prepare_answer({1, longest});
  run("GetFileName");
  EXPECT_EQ(parameter("Filename"), longest);
}

TEST_F(Commands, HostRefusesAPathTooLongForTheResultBuffer) {
  host.prepare_answer({1, std::string(zt_file_name_capacity, 'p')});
  run("GetFileName");
  EXPECT_EQ(parameter("ErrorNr"), "-1");
  EXPECT_FALSE(has_parameter("Filename"));
  EXPECT_NE(terminal.str().find("refused: the path has 256 characters"), std::string::npos);
}

}  // namespace
