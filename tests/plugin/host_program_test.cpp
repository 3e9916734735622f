// The development host's executable as a person runs it: its arguments, the lines typed at it,
// what it prints and its exit status. Each test starts CorvaneZT.exe as a child process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct HostRun {
  int status = -1;  // the exit status, or 128 + the signal that ended the host
  std::string out;
  std::string err;
};

std::filesystem::path scratch_directory() {
  static const std::filesystem::path directory = [] {
    auto path = std::filesystem::path(::testing::TempDir()) / ("host_program_" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return directory;
}

std::string write_file(const std::string& name, const std::string& text) {
  const std::string path = (scratch_directory() / name).string();
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Runs the host with the arguments, the input typed at it, and its output captured in files.
HostRun run_host(const std::vector<std::string>& arguments, const std::string& typed = "") {
  const std::string in = write_file("stdin", typed);
  const std::string out = (scratch_directory() / "stdout").string();
  const std::string err = (scratch_directory() / "stderr").string();

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<std::string> words{LOTWRIGHT_HOST_PATH};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  HostRun run;
  pid_t child = 0;
  const int spawned = posix_spawn(&child, LOTWRIGHT_HOST_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << LOTWRIGHT_HOST_PATH;
    return run;
  }
  int wait_status = 0;
  waitpid(child, &wait_status, 0);
  run.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
  run.out = read_file(out);
  run.err = read_file(err);
  return run;
}

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t found = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++found;
  return found;
}

// Each part occurs in the text, after the one before it.
void expect_in_order(const std::string& text, std::initializer_list<std::string> parts) {
  std::size_t at = 0;
  for (const std::string& part : parts) {
    const auto found = text.find(part, at);
    if (found == std::string::npos) {
      ADD_FAILURE() << "missing, or out of order: " << part << "\n--- output ---\n" << text;
      return;
    }
    at = found + part.size();
  }
}

const std::string usage_line =
    "usage: CorvaneZT.exe [-h | --help] [--host-version MAJOR.MINOR.SUB] [--session FILE | --interactive] [MODULE]\n";

TEST(HostCommandLine, HelpPrintsTheUsage) {
  for (const char* help : {"-h", "--help"}) {
    const HostRun run = run_host({help});
    EXPECT_EQ(run.status, 0) << help;
    EXPECT_EQ(run.out.rfind(usage_line, 0), 0u) << run.out;
    EXPECT_NE(run.out.find("-h, --help"), std::string::npos);
    EXPECT_EQ(run.err, "");
  }
}

TEST(HostCommandLine, RefusesWhatItDoesNotAcceptWithStatusTwo) {
  const std::string version_fault = "--host-version needs three non-negative integers MAJOR.MINOR.SUB, not ";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--host-version"}, "--host-version needs a value"},
      {{"--session"}, "--session needs a value"},
      {{"--session", "--interactive"}, "--session needs a value"},
      {{"--host-version", "-1.0.0"}, version_fault + "\"-1.0.0\""},
      {{"--host-version", "2.4"}, version_fault + "\"2.4\""},
      {{"--host-version", "2.4.1.0"}, version_fault + "\"2.4.1.0\""},
      {{"--host-version", "2..1"}, version_fault + "\"2..1\""},
      {{"--host-version", "+2.4.1"}, version_fault + "\"+2.4.1\""},
      {{"--host-version", " 2.4.1"}, version_fault + "\" 2.4.1\""},
      {{"--host-version", "2.4.1x"}, version_fault + "\"2.4.1x\""},
      {{"--host-version", "2147483648.0.0"}, version_fault + "\"2147483648.0.0\""},
      {{"--interactive", "--session", LOTWRIGHT_DEMO_SESSION}, "--interactive and --session exclude each other"},
      {{"--session", LOTWRIGHT_DEMO_SESSION, "--interactive"}, "--interactive and --session exclude each other"},
      {{"-x"}, "unknown option -x"},
      {{"--verbose"}, "unknown option --verbose"},
      {{"a.so", "b.so"}, "one module only: unexpected argument b.so"},
  };
  for (const auto& [arguments, fault] : cases) {
    const HostRun run = run_host(arguments);
    EXPECT_EQ(run.status, 2) << fault;
    EXPECT_EQ(run.err.find("CorvaneZT.exe: " + fault + "\n" + usage_line), 0u) << run.err;
    EXPECT_EQ(run.out, "") << fault;
  }
}

TEST(HostCommandLine, ReportsTheVersionItIsGiven) {
  const HostRun newer = run_host({"--host-version", "10.0.0"});
  EXPECT_EQ(newer.status, 0);
  EXPECT_NE(newer.out.find("reporting version 10.0.0"), std::string::npos);
  EXPECT_NE(newer.out.find("initPlugin returned true"), std::string::npos);

  const HostRun older = run_host({"--host-version", "2.4.0"});
  EXPECT_EQ(older.status, 1);
  expect_in_order(older.out, {"reporting version 2.4.0",
                              "[message box] Can not execute this plugin - CorvaneZT version 2.4.1 or higher required.",
                              "initPlugin returned false", "destroying the plugin object"});
  EXPECT_EQ(older.out.find("[line "), std::string::npos) << "no session is played for a refused host";
}

TEST(HostExitStatus, OneForWhatCannotBeLoadedOrRead) {
  const std::string directory = scratch_directory().string();
  const HostRun session_directory = run_host({"--session", directory});
  EXPECT_EQ(session_directory.status, 1);
  EXPECT_EQ(session_directory.err, "CorvaneZT.exe: cannot read the session " + directory + ": it is a directory\n");
  EXPECT_EQ(session_directory.out, "") << "nothing is loaded before the session is read";

  const std::string missing = directory + "/no such.session";
  const HostRun session_missing = run_host({"--session", missing});
  EXPECT_EQ(session_missing.status, 1);
  EXPECT_EQ(session_missing.err.rfind("CorvaneZT.exe: cannot read the session " + missing + ": ", 0), 0u)
      << session_missing.err;

  const std::string faulty = write_file("faulty.session", "run GetFileName\n  frobnicate\n");
  const HostRun session_faulty = run_host({"--session", faulty});
  EXPECT_EQ(session_faulty.status, 1);
  EXPECT_EQ(session_faulty.err, "CorvaneZT.exe: " + faulty + ":2: not understood: \"frobnicate\"\n");

  const HostRun module_missing = run_host({directory + "/none.so"});
  EXPECT_EQ(module_missing.status, 1);
  EXPECT_EQ(module_missing.err.rfind("CorvaneZT.exe: cannot load the module " + directory + "/none.so: ", 0), 0u)
      << module_missing.err;
}

TEST(HostOutput, DemoShowsEachLogLineOnceAndEndsWithoutAStaleMessage) {
  const HostRun run = run_host({});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(count(run.out, "[log] Running lotwrightwizard..."), 1u);
  EXPECT_EQ(count(run.out, "lotwrightplugin finished!"), 1u);
  EXPECT_EQ(run.out.find("host log"), std::string::npos);
  EXPECT_EQ(count(run.out, "[open-file dialog]"), 6u);
  // The last command succeeds after a cancelled one; the session emptied "ErrorMsg" before it.
  const std::string last = run.out.substr(run.out.rfind("[line "));
  expect_in_order(last, {"run GetTargetFileName", "ErrorMsg       = \"\"", "ErrorNr        = 0"});
}

TEST(HostOutput, EmptyFilterAndAnswersAskedAtTheKeyboard) {
  const std::string session =
      write_file("ask.session", "run GetFileName\nset FileType Text (*.txt)\nrun GetFileName\n");
  const HostRun chosen = run_host({"--session", session}, "choose /data/typed.fmr\n/data/bare.txt\n");
  EXPECT_EQ(chosen.status, 0);
  expect_in_order(chosen.out, {"filter: (none)", "answer: /data/typed.fmr", "Filename = \"/data/typed.fmr\"",
                               "filter: Text (*.txt)", "answer: /data/bare.txt", "Filename = \"/data/bare.txt\""});

  const HostRun no_input = run_host({"--session", session});
  EXPECT_EQ(no_input.status, 0);
  EXPECT_EQ(count(no_input.out, "(no input)"), 2u);
  EXPECT_EQ(count(no_input.out, "answer: cancelled"), 2u);
}

TEST(HostInteractive, WaitingDialogsTakeSessionAnswers) {
  const HostRun run = run_host({"--interactive"},
                               "set FileType Corvane functional project (*.fmr)\n"
                               "run GetFileName\n"
                               "cancel\n"
                               "run GetFileName\n"
                               "choose /data/a.fmr\n"
                               "run GetTextFileName\n"
                               "run GetFileName\n"
                               "choose\n"
                               "  /data/typed list.txt\n"
                               "run GetTargetFileName\n"
                               "\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(count(run.out, "[open-file dialog]"), 4u) << "a line typed at a dialog runs nothing";
  expect_in_order(
      run.out,
      {"[line 2] run GetFileName", "answer: cancelled", "ErrorMsg = \"No file selected\"", "ErrorNr  = -1",
       // "cancel" is not the chosen path: nothing else was stored.
       "[line 3] run GetFileName", "answer: /data/a.fmr", "Filename = \"/data/a.fmr\"", "[line 4] run GetTextFileName",
       "a dialog is waiting: answer it with choose PATH, cancel, or the path: \"run GetFileName\"",
       "choose needs a path: \"choose\"", "answer: /data/typed list.txt", "Filename = \"/data/typed list.txt\"",
       "[line 5] run GetTargetFileName", "answer: cancelled"});
  EXPECT_EQ(run.out.find("Filename = \"cancel\""), std::string::npos);
}

TEST(HostInteractive, HelpAndLinesNotUnderstoodLeaveTheHostRunning) {
  const HostRun run = run_host({"--interactive"}, "help\nRun GetFileName\ncancel\nquit\nrun GetFileName\n");
  EXPECT_EQ(run.status, 0);
  for (const char* line : {"set NAME TEXT", "run COMMAND", "choose PATH", "cancel  ", "help  ", "quit  "})
    EXPECT_NE(run.out.find(line), std::string::npos) << line;
  expect_in_order(run.out, {"not understood: \"Run GetFileName\" (help lists the session lines)",
                            "no dialog is waiting for an answer: \"cancel\"", "destroying the plugin object"});
  EXPECT_EQ(run.out.find("[open-file dialog]"), std::string::npos) << "nothing runs after quit";
}

TEST(HostInteractive, RefusedLinesRunNothingAndAreEchoedShort) {
  const std::string long_text(5000, 'x');
  const HostRun run = run_host({"--interactive"},
                               "set FileType abc\n"
                               "run GetFileName\n"
                               "cancel\n"
                               "set FileType " +
                                   long_text +
                                   "\n"
                                   "run " +
                                   long_text +
                                   "\n"
                                   "run GetFileName\n"
                                   "cancel\n");
  EXPECT_EQ(run.status, 0);
  const std::string shown = std::string(60, 'x') + "... (5000 characters)";
  expect_in_order(
      run.out,
      {"filter: abc", "[line 3] set FileType " + shown + "\n",
       "[refused] parameter \"FileType\" keeps its value: the new text has 5000 characters, a plugin's buffer holds "
       "at most 4095",
       "[line 4] run " + shown + "\n", "[refused] parameter \"Command\" keeps its value", "the command is not run",
       "[line 5] run GetFileName", "filter: abc"});
  EXPECT_EQ(count(run.out, "[open-file dialog]"), 2u) << "the refused run line runs nothing";
  std::istringstream lines(run.out);
  std::size_t longest = 0;
  for (std::string line; std::getline(lines, line);) longest = std::max(longest, line.size());
  EXPECT_LT(longest, 200u);
}

}  // namespace
