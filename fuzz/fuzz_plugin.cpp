// A fake CorvaneZT host driving the plugin module as a host does: it loads the module, creates
// plugin objects, calls initPlugin, execute and the destructor in any order the host contract
// allows. The host's version, the "Command" and "FileType" values, the dialog's results and the
// chosen paths all come from the input, within the contract's bounds (parameter texts up to
// 4095 characters, paths up to 255). Every call the plugin makes on the host is recorded and
// compared with the calls that the plugin's contract prescribes.
//
// This program is named CorvaneZT.exe and exports the host functions the plugin calls; the
// plugin binds to it by those names.
#include <dlfcn.h>
#include <string.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "draw.h"
#include "plugin/CNZTPluginInterface.h"
#include "plugin/host_functions.h"
#include "plugin/module_exports.h"

namespace {

using Calls = std::vector<std::string>;

// The host's side of one input: its version, the dialog's next answer, and every call the
// plugin made.
struct FakeHost {
  int version[3] = {2, 4, 1};
  int dialog_result = 1;
  std::string dialog_path;  // written, zero-terminated, when the result is 1
  std::string dialog_junk;  // written, up to 256 bytes, when it is not
  std::map<std::string, std::string> strings;
  std::map<std::string, int> ints;
  Calls calls;
} host;

createPlugin_function* create_plugin = nullptr;

// The C-string a host keeps of a text: everything before its first zero.
std::string as_text(const std::string& s) { return std::string(s.c_str()); }

std::string draw_text(FuzzedDataProvider& in, size_t longest, std::initializer_list<const char* const> usual) {
  if (in.ConsumeBool()) return in.PickValueInArray<const char*>(usual);
  return as_text(in.ConsumeRandomLengthString(longest));
}

// The oldest accepted host is 2.4.1; versions around it, and any at all.
int draw_version_part(FuzzedDataProvider& in, int usual) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return in.ConsumeIntegral<int>();
    default:
      return usual + in.ConsumeIntegralInRange(-1, 1);
  }
}

bool accepted(const int v[3]) {
  if (v[0] != 2) return v[0] > 2;
  if (v[1] != 4) return v[1] > 4;
  return v[2] >= 1;
}

struct Command {
  const char* name;
  const char* caption;
  const char* filter;  // null: the value of "FileType"
  const char* path_parameter;
};
const Command commands[] = {
    {"GetFileName", "Please select the source file", nullptr, "Filename"},
    {"GetTargetFileName", "Please select the intra-session alignment target file for this source file",
     "Corvane functional project (*.fmr)", "TargetFilename"},
    {"GetTextFileName", "Please select the text file with source filenames", "Text file with source filenames (*.txt)",
     "Filename"},
};

// What one execute must make the host do, given the parameters and the dialog's answer.
Calls expected_execute(const std::string& command, const std::string& file_type) {
  Calls calls = {"GetStringParameter Command", "GetStringParameter FileType"};
  for (const Command& c : commands) {
    if (command != c.name) continue;
    calls.push_back(std::string("GetOpenFileName ") + c.caption + "|" + "" + "|" + (c.filter ? c.filter : file_type));
    if (host.dialog_result == 1) {
      calls.push_back(std::string("SetStringParameter ") + c.path_parameter + "=" + host.dialog_path);
      calls.push_back("SetIntParameter ErrorNr=0");
    } else {
      calls.push_back("SetIntParameter ErrorNr=-1");
      calls.push_back("SetStringParameter ErrorMsg=No file selected");
    }
  }
  return calls;
}

struct Plugin {
  std::unique_ptr<CNZTPluginInterface> object;
  bool initialized = false;
  bool accepted = false;
};

// The plugin's table of host functions lives as long as the module: once bound, it stays bound.
bool table_bound = false;

void init(Plugin& plugin) {
  host.calls.clear();
  const bool result = plugin.object->initPlugin();
  table_bound = true;
  const bool wanted = accepted(host.version);
  fuzz::expect(result == wanted, "initPlugin accepts exactly the hosts from 2.4.1 on");
  const Calls calls =
      wanted ? Calls{"GetVersionOfCorvaneZT", "ShowLogTab", "LogText Running lotwrightwizard..."}
             : Calls{"GetVersionOfCorvaneZT",
                     "MessageBox Can not execute this plugin - CorvaneZT version 2.4.1 or higher required."};
  fuzz::expect(host.calls == calls, "initPlugin's calls on the host");
  plugin.initialized = true;
  plugin.accepted = result;
}

void execute(Plugin& plugin, FuzzedDataProvider& in) {
  const std::string command =
      draw_text(in, 4095, {"GetFileName", "GetTargetFileName", "GetTextFileName", "getfilename", ""});
  const std::string file_type = draw_text(in, 4095, {"Corvane functional project (*.fmr)", "", "All files (*.*)"});
  host.strings["Command"] = command;
  host.strings["FileType"] = file_type;
  host.dialog_result = in.ConsumeBool() ? 1 : in.ConsumeIntegral<int>();
  host.dialog_path = as_text(in.ConsumeRandomLengthString(255));
  host.dialog_junk = in.ConsumeRandomLengthString(256);
  const std::map<std::string, std::string> strings_before = host.strings;
  const std::map<std::string, int> ints_before = host.ints;
  host.calls.clear();
  const bool result = plugin.object->execute();
  if (!plugin.accepted) {
    // Outside the host contract, but documented: nothing happens.
    fuzz::expect(!result && host.calls.empty(), "execute without an accepted host does nothing");
    return;
  }
  fuzz::expect(result, "execute returns true");
  fuzz::expect(host.calls == expected_execute(command, file_type), "execute's calls on the host");
  // The store changed only as the recorded calls say.
  std::map<std::string, std::string> strings = strings_before;
  std::map<std::string, int> ints = ints_before;
  for (const Command& c : commands) {
    if (command != c.name) continue;
    if (host.dialog_result == 1) {
      strings[c.path_parameter] = host.dialog_path;
      ints["ErrorNr"] = 0;
    } else {
      ints["ErrorNr"] = -1;
      strings["ErrorMsg"] = "No file selected";
    }
  }
  fuzz::expect(host.strings == strings && host.ints == ints, "named parameters after execute");
}

void destroy(Plugin& plugin) {
  host.calls.clear();
  plugin.object.reset();
  fuzz::expect(host.calls == (table_bound ? Calls{"LogText lotwrightplugin finished!"} : Calls{}),
               "the destructor logs its closing line");
}

}  // namespace

// The host functions, exported by name from this executable.
extern "C" {

__attribute__((visibility("default"))) void ztGetVersionOfCorvaneZT(int* major, int* minor, int* sub_minor) {
  host.calls.push_back("GetVersionOfCorvaneZT");
  *major = host.version[0];
  *minor = host.version[1];
  *sub_minor = host.version[2];
}

__attribute__((visibility("default"))) void ztMessageBox(const char* text) {
  host.calls.push_back(std::string("MessageBox ") + text);
}

__attribute__((visibility("default"))) void ztShowLogTab() { host.calls.push_back("ShowLogTab"); }

__attribute__((visibility("default"))) void ztLogText(const char* text) {
  host.calls.push_back(std::string("LogText ") + text);
}

__attribute__((visibility("default"))) void ztGetStringParameter(const char* name, char* buffer) {
  host.calls.push_back(std::string("GetStringParameter ") + name);
  const std::string& value = host.strings[name];
  memcpy(buffer, value.c_str(), value.size() + 1);
}

__attribute__((visibility("default"))) void ztSetStringParameter(const char* name, const char* text) {
  host.calls.push_back(std::string("SetStringParameter ") + name + "=" + text);
  host.strings[name] = text;
}

__attribute__((visibility("default"))) void ztSetIntParameter(const char* name, int value) {
  host.calls.push_back(std::string("SetIntParameter ") + name + "=" + std::to_string(value));
  host.ints[name] = value;
}

__attribute__((visibility("default"))) int ztGetOpenFileName(const char* caption, const char* initial,
                                                             const char* filter, char* result) {
  host.calls.push_back(std::string("GetOpenFileName ") + caption + "|" + initial + "|" + filter);
  if (host.dialog_result == 1)
    memcpy(result, host.dialog_path.c_str(), host.dialog_path.size() + 1);
  else
    memcpy(result, host.dialog_junk.data(), host.dialog_junk.size());
  return host.dialog_result;
}
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  void* module = dlopen(LOTWRIGHT_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) fuzz::fail(dlerror());
  create_plugin = reinterpret_cast<createPlugin_function*>(dlsym(module, "createPlugin"));
  if (create_plugin == nullptr) fuzz::fail("the module exports no createPlugin");
  return 0;
}

// A host of some version with one or two plugin objects, each created, possibly initialised,
// asked to execute commands (only after initPlugin, as hosts do; after a refusal too, which
// must do nothing) and destroyed, in an order drawn from the input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  // One host per input: its version is fixed for all its plugin objects.
  host.version[0] = draw_version_part(in, 2);
  host.version[1] = draw_version_part(in, 4);
  host.version[2] = draw_version_part(in, 1);
  host.strings.clear();
  host.ints.clear();
  Plugin plugins[2];
  for (int step = 0; step < 24 && in.remaining_bytes() > 0; ++step) {
    Plugin& plugin = plugins[in.ConsumeIntegralInRange(0, 1)];
    if (!plugin.object) {
      host.calls.clear();
      plugin = Plugin{std::unique_ptr<CNZTPluginInterface>(create_plugin())};
      fuzz::expect(plugin.object != nullptr && host.calls.empty(), "createPlugin makes an object and calls nothing");
      continue;
    }
    switch (in.ConsumeIntegralInRange(0, 3)) {
      case 0:
        init(plugin);
        break;
      case 3:
        destroy(plugin);
        break;
      default:
        if (plugin.initialized) execute(plugin, in);
        break;
    }
  }
  for (Plugin& plugin : plugins)
    if (plugin.object) destroy(plugin);
  return 0;
}
