// A host built in Microsoft's C++ ABI: loads the plugin module named on the command line and
// checks it as such a host uses it. The object's virtual table must hold the destructor, execute
// and initPlugin in that order; start-up, the commands and destruction must reach the host's
// functions as the host contract says. Prints each failed check; exits with 0 when all passed.
//   CorvaneZT.exe MODULE
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "plugin/module_exports.h"
#include "scripted_host.h"

namespace {

const char* const greeting = "show log\nlog \"Running lotwrightwizard...\"\n";
const char* const refusal = "message \"Can not execute this plugin - CorvaneZT version 2.4.1 or higher required.\"\n";
const char* const closing = "log \"lotwrightplugin finished!\"\n";

// Set by a static constructor, which the program's start-up must have run before main.
const DWORD host_thread = GetCurrentThreadId();

int failures;

void check(bool passed, const char* what) {
  if (!passed) {
    ++failures;
    printf("FAILED: %s\n", what);
  }
}

void expect_transcript(const char* expected, const char* what) {
  if (strcmp(transcript(), expected) == 0) return;
  ++failures;
  printf("FAILED: %s\n  expected:\n%s  the host saw:\n%s", what, expected, transcript());
}

void* exported(HMODULE module, const char* name) { return reinterpret_cast<void*>(GetProcAddress(module, name)); }

void check_identification(HMODULE module) {
  const struct {
    const char* name;
    const char* text;
  } texts[] = {
      {"getPluginName", "lotwrightwizard (v1.5)"},
      {"getPluginDescription", "Plugin to process multiple Corvane files<br>"},
      {"getAuthor", "<i>Pellandry</i>, Tellwick"},
      {"getHelpFile", ""},
      {"getPluginVersion", "1.5"},
      {"getGUIScript", "lotwrightwizard_v15.js"},
  };
  for (const auto& expected : texts) {
    auto* text = reinterpret_cast<plugin_text_function*>(exported(module, expected.name));
    check(text != nullptr && text() != nullptr && strcmp(text(), expected.text) == 0, expected.name);
  }
}

// The host's view of the plugin object: a pointer to a table of functions that take the object
// first. Slot 0 is the deleting destructor (flag 1: free the object as well).
typedef bool RawMethod(void* object);
typedef void* RawDeletingDestructor(void* object, unsigned flags);

// Returns false when the table is not laid out as a Microsoft-ABI host expects: then every
// further call through it would reach the wrong function.
bool check_virtual_table(HMODULE module, createPlugin_function* create_plugin) {
  void* object = create_plugin();
  void* const* table = *static_cast<void* const* const*>(object);
  const bool microsoft_layout = table == exported(module, "??_7lotwright@@6B@") &&
                                table[1] == exported(module, "?execute@lotwright@@UEAA_NXZ") &&
                                table[2] == exported(module, "?initPlugin@lotwright@@UEAA_NXZ");
  check(microsoft_layout, "the object's table is lotwright's, with execute in slot 1, initPlugin in slot 2");
  if (!microsoft_layout) return false;

  clear_transcript();
  check(reinterpret_cast<RawMethod*>(table[2])(object), "slot 2 accepts the host");
  expect_transcript(greeting, "slot 2 starts the plugin as initPlugin");

  host_script.command = "GetTextFileName";
  host_script.dialog_result = 1;
  host_script.dialog_path = "/data/sources.txt";
  clear_transcript();
  check(reinterpret_cast<RawMethod*>(table[1])(object), "slot 1 returns true");
  expect_transcript(
      "dialog \"Please select the text file with source filenames\" \"\" "
      "\"Text file with source filenames (*.txt)\"\n"
      "set Filename \"/data/sources.txt\"\nset ErrorNr 0\n",
      "slot 1 runs the command as execute");

  clear_transcript();
  reinterpret_cast<RawDeletingDestructor*>(table[0])(object, 1);
  expect_transcript(closing, "slot 0 destroys the object");
  return true;
}

void check_start_up(createPlugin_function* create_plugin) {
  const struct {
    int version[3];
    bool accepted;
  } cases[] = {{{2, 4, 1}, true}, {{2, 4, 0}, false}, {{2, 3, 9}, false}, {{1, 9, 9}, false},
               {{2, 5, 0}, true}, {{3, 0, 0}, true},  {{2, 4, 7}, true}};
  for (const auto& c : cases) {
    char what[64];
    snprintf(what, sizeof what, "initPlugin in host %d.%d.%d", c.version[0], c.version[1], c.version[2]);
    memcpy(host_script.version, c.version, sizeof c.version);
    CNZTPluginInterface* plugin = create_plugin();
    clear_transcript();
    check(plugin->initPlugin() == c.accepted, what);
    expect_transcript(c.accepted ? greeting : refusal, what);
    if (!c.accepted) {
      clear_transcript();
      check(!plugin->execute(), "execute after a refusal returns false");
      expect_transcript("", "execute after a refusal touches nothing");
    }
    clear_transcript();
    delete plugin;
    expect_transcript(closing, "destruction logs its closing line");
  }
  memcpy(host_script.version, cases[0].version, sizeof cases[0].version);
}

// Runs the command as the wizard script does and checks what the host saw.
void run(CNZTPluginInterface* plugin, const char* command, int dialog_result, const char* expected) {
  char what[96];
  snprintf(what, sizeof what, "command \"%s\", dialog result %d", command, dialog_result);
  host_script.command = command;
  host_script.dialog_result = dialog_result;
  host_script.dialog_path = "/data/study/chosen file";
  clear_transcript();
  check(plugin->execute(), what);
  expect_transcript(expected, what);
}

void check_commands(createPlugin_function* create_plugin) {
  const struct {
    const char* command;
    const char* caption;
    const char* filter;
    const char* path_parameter;
  } commands[] = {
      {"GetFileName", "Please select the source file", "Anatomical project (*.vmr)", "Filename"},
      {"GetTargetFileName", "Please select the intra-session alignment target file for this source file",
       "Corvane functional project (*.fmr)", "TargetFilename"},
      {"GetTextFileName", "Please select the text file with source filenames",
       "Text file with source filenames (*.txt)", "Filename"},
  };
  CNZTPluginInterface* plugin = create_plugin();
  check(plugin->initPlugin(), "initPlugin before the commands");
  host_script.file_type = "Anatomical project (*.vmr)";
  for (const auto& c : commands) {
    char dialog[256];
    char expected[512];
    snprintf(dialog, sizeof dialog, "dialog \"%s\" \"\" \"%s\"\n", c.caption, c.filter);
    snprintf(expected, sizeof expected, "%sset %s \"/data/study/chosen file\"\nset ErrorNr 0\n", dialog,
             c.path_parameter);
    run(plugin, c.command, 1, expected);
    snprintf(expected, sizeof expected, "%sset ErrorNr -1\nset ErrorMsg \"No file selected\"\n", dialog);
    const int no_file_results[] = {0, 2, -1};
    for (int result : no_file_results) run(plugin, c.command, result, expected);
  }

  host_script.file_type = "";
  run(plugin, "GetFileName", 0,
      "dialog \"Please select the source file\" \"\" \"\"\nset ErrorNr -1\nset ErrorMsg \"No file selected\"\n");

  const char* const unknown_commands[] = {"GetDirectory", "", "getfilename", "GetFileName "};
  for (const char* unknown : unknown_commands) run(plugin, unknown, 1, "");
  delete plugin;
}

}  // namespace

int main(int argc, char** argv) {
  // Unbuffered, so that the failures reported before a crash in the module still show.
  setvbuf(stdout, nullptr, _IONBF, 0);
  check(host_thread == GetCurrentThreadId(), "static constructors ran before main");
  if (argc != 2) {
    printf("usage: CorvaneZT.exe MODULE\n");
    return 2;
  }
  HMODULE module = LoadLibraryA(argv[1]);
  if (module == nullptr) {
    printf("cannot load %s: error %lu\n", argv[1], GetLastError());
    return 1;
  }
  auto* create_plugin = reinterpret_cast<createPlugin_function*>(exported(module, "createPlugin"));
  check(create_plugin != nullptr, "createPlugin");
  if (create_plugin == nullptr) return 1;
  check_identification(module);
  if (check_virtual_table(module, create_plugin)) {
    check_start_up(create_plugin);
    check_commands(create_plugin);
  }
  printf("%d failed checks\n", failures);
  return failures == 0 ? 0 : 1;
}
