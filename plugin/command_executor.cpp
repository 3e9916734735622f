// The commands of the lotwright wizard: each asks the user for one file through the host's
// open-file dialog and answers through the host's named parameters.
#include <string.h>

#include "plugin/host_api.h"
#include "plugin/host_functions.h"
#include "plugin/lotwright.h"

namespace {

struct WizardCommand {
  const char* name;
  const char* caption;
  const char* filter;  // null: the filter is the value of "FileType"
  const char* path_parameter;
};

const WizardCommand wizard_commands[] = {
    {"GetFileName", "Please select the source file", nullptr, "Filename"},
    {"GetTargetFileName", "Please select the intra-session alignment target file for this source file",
     "Corvane functional project (*.fmr)", "TargetFilename"},
    {"GetTextFileName", "Please select the text file with source filenames", "Text file with source filenames (*.txt)",
     "Filename"},
};

const WizardCommand* find_command(const char* name) {
  for (const WizardCommand& command : wizard_commands) {
    if (strcmp(command.name, name) == 0) return &command;
  }
  return nullptr;
}

// The host functions the commands use, null when the host lacks one.
struct CommandHost {
  ztGetStringParameter_function* get_string;
  ztGetOpenFileName_function* open_file_dialog;
  ztSetStringParameter_function* set_string;
  ztSetIntParameter_function* set_int;

  bool complete() const {
    return get_string != nullptr && open_file_dialog != nullptr && set_string != nullptr && set_int != nullptr;
  }
};

// The buffer ends with a zero whatever the host wrote, so it is never read past its end.
void read_string_parameter(const CommandHost& host, const char* name, char (&buffer)[zt_parameter_text_capacity]) {
  buffer[0] = '\0';
  host.get_string(name, buffer);
  buffer[zt_parameter_text_capacity - 1] = '\0';
}

void run_command(const CommandHost& host, const WizardCommand& command, const char* file_type) {
  char chosen_path[zt_file_name_capacity] = "";
  const char* filter = command.filter != nullptr ? command.filter : file_type;
  int result = host.open_file_dialog(command.caption, "", filter, chosen_path);
  chosen_path[zt_file_name_capacity - 1] = '\0';
  if (result == 1) {
    host.set_string(command.path_parameter, chosen_path);
    host.set_int("ErrorNr", 0);
  } else {
    host.set_int("ErrorNr", -1);
    host.set_string("ErrorMsg", "No file selected");
  }
}

}  // namespace

bool lotwright::execute() {
  const CommandHost host = {
      host_function<ztGetStringParameter_function>(host_api.ztGetStringParameter),
      host_function<ztGetOpenFileName_function>(host_api.ztGetOpenFileName),
      host_function<ztSetStringParameter_function>(host_api.ztSetStringParameter),
      host_function<ztSetIntParameter_function>(host_api.ztSetIntParameter),
  };
  if (!host_accepted || !host.complete()) return false;

  char command_name[zt_parameter_text_capacity];
  char file_type[zt_parameter_text_capacity];
  read_string_parameter(host, "Command", command_name);
  read_string_parameter(host, "FileType", file_type);
  if (const WizardCommand* command = find_command(command_name)) run_command(host, *command, file_type);
  return true;
}
