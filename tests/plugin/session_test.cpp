// Wizard sessions of the development host: reading them, and playing them with the plugin.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "host/session.h"
#include "host_fixture.h"

namespace {

using devhost::parse_session;
using devhost::SessionError;
using devhost::SessionStep;

std::vector<SessionStep> parse(const std::string& text) {
  std::istringstream input(text);
  return parse_session(input, "test.session");
}

std::string parse_error(const std::string& text) {
  try {
    parse(text);
  } catch (const SessionError& error) {
    return error.what();
  }
  return "no error";
}

TEST(SessionReading, ReadsStepsWithTheAnswersThatFollowThem) {
  const auto steps = parse(
      "# a comment\r\n"
      "\n"
      "set FileType Corvane functional project (*.fmr)\r\n"
      "set Empty\n"
      "run GetFileName\n"
      "  choose /data/a b.fmr\n"
      "\tcancel\n"
      "run\n");
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(steps[0].kind, SessionStep::Kind::set);
  EXPECT_EQ(steps[0].line, 3);
  EXPECT_EQ(steps[0].name, "FileType");
  EXPECT_EQ(steps[0].value, "Corvane functional project (*.fmr)");
  EXPECT_EQ(steps[1].value, "");
  EXPECT_EQ(steps[2].kind, SessionStep::Kind::run);
  EXPECT_EQ(steps[2].value, "GetFileName");
  ASSERT_EQ(steps[2].answers.size(), 2u);
  EXPECT_EQ(steps[2].answers[0].result, 1);
  EXPECT_EQ(steps[2].answers[0].path, "/data/a b.fmr");
  EXPECT_EQ(steps[2].answers[1].result, 0);
  EXPECT_EQ(steps[3].value, "");
}

TEST(SessionReading, NamesTheFirstLineNotUnderstood) {
  EXPECT_EQ(parse_error("run GetFileName\n  frobnicate now\nalso wrong\n"),
            "test.session:2: not understood: \"frobnicate now\"");
  EXPECT_EQ(parse_error("Run GetFileName\n"), "test.session:1: not understood: \"Run GetFileName\"");
  EXPECT_EQ(parse_error("run GetFileName\ncancel please\n"), "test.session:2: not understood: \"cancel please\"");
  EXPECT_EQ(parse_error("run GetFileName\nchoose\n"), "test.session:2: choose needs a path: \"choose\"");
  EXPECT_EQ(parse_error("set\n"), "test.session:1: set needs a parameter name: \"set\"");
  EXPECT_EQ(parse_error("choose /data/a.fmr\n"),
            "test.session:1: an answer must follow a run line: \"choose /data/a.fmr\"");
  EXPECT_EQ(parse_error("run GetFileName\nset FileType x\ncancel\n"),
            "test.session:3: an answer must follow a run line: \"cancel\"");
}

using SessionPlaying = HostTest;

TEST_F(SessionPlaying, DemoSessionPlaysToItsEnd) {
  std::ifstream file(LOTWRIGHT_DEMO_SESSION);
  ASSERT_TRUE(file);
  const auto steps = parse_session(file, "demo.session");
  auto plugin = started_plugin();
  devhost::play_session(steps, host, *plugin);

  EXPECT_EQ(host.dialogs.size(), 6u);
  EXPECT_EQ(host.prepared_answers(), 0u);
  EXPECT_EQ(host.parameters.text("Filename"), "/data/study07/subject03/run2.fmr");
  EXPECT_EQ(host.parameters.text("TargetFilename"), "/data/study07/subject03/run1.fmr");
  EXPECT_EQ(host.parameters.text("ErrorNr"), "0");
  EXPECT_EQ(host.parameters.text("ErrorMsg"), "");
  EXPECT_EQ(terminal.str().find("note:"), std::string::npos) << terminal.str();
}

TEST_F(SessionPlaying, ShowsDialogsAnswersAndParameters) {
  auto plugin = started_plugin();
  devhost::play_session(parse("run GetTextFileName\nchoose /data/sources.txt\nrun GetTextFileName\n"), host, *plugin);
  const std::string shown = terminal.str();
  for (const char* expected :
       {"[line 1] run GetTextFileName", "[open-file dialog] Please select the text file with source filenames",
        "filter: Text file with source filenames (*.txt)", "answer: /data/sources.txt", "execute returned true",
        "Filename = \"/data/sources.txt\"", "ErrorNr  = 0", "(no input)", "answer: cancelled", "ErrorNr  = -1"})
    EXPECT_NE(shown.find(expected), std::string::npos) << expected << "\n" << shown;
}

TEST_F(SessionPlaying, ReportsAnswersThatNoDialogAskedFor) {
  auto plugin = started_plugin();
  devhost::play_session(parse("run NoSuchCommand\ncancel\n"), host, *plugin);
  EXPECT_NE(terminal.str().find("note: 1 answer(s) left over"), std::string::npos);
  EXPECT_EQ(host.prepared_answers(), 0u);
}

TEST_F(SessionPlaying, InteractiveLinesRunAtOnceAndDialogsAskTheKeyboard) {
  keyboard.str(
      "set FileType Corvane functional project (*.fmr)\n"
      "run GetFileName\n"
      "/data/typed.fmr\n"
      "bogus line\n"
      "cancel\n"
      "quit\n"
      "run GetFileName\n");
  auto plugin = started_plugin();
  devhost::play_interactively(host, *plugin);

  EXPECT_EQ(host.parameters.text("Filename"), "/data/typed.fmr");
  EXPECT_EQ(host.dialogs.size(), 1u) << "nothing runs after quit";
  EXPECT_NE(terminal.str().find("not understood: \"bogus line\""), std::string::npos);
  EXPECT_NE(terminal.str().find("no dialog is waiting for an answer: \"cancel\""), std::string::npos);
}

}  // namespace
