// A CorvaneZT host reduced to a script: the program exports the eight host functions that the
// plugin calls, answers them from host_script, and writes every call that shows something or
// changes a named parameter into a transcript. C runtime only, like the plugin module.
#pragma once

struct HostScript {
  int version[3];           // reported by ztGetVersionOfCorvaneZT
  const char* command;      // the value of "Command"
  const char* file_type;    // the value of "FileType"
  int dialog_result;        // returned by ztGetOpenFileName
  const char* dialog_path;  // written into the dialog's result buffer, whatever the result
};

extern HostScript host_script;

// The calls since the last clear, one line each, for example:
//   message "text"    show log    log "text"    dialog "caption" "initial" "filter"
//   set Name "text"   set Name 0  get Name (a parameter the plugin should not read)
const char* transcript();
void clear_transcript();
