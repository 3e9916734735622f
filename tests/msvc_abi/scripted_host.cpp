#include "scripted_host.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "host/host_export.h"
#include "plugin/host_functions.h"

HostScript host_script = {{2, 4, 1}, "", "", 0, ""};

namespace {

char transcript_text[4096];
size_t transcript_length;

// Appends one line; a transcript cut at the end of the buffer shows up as a mismatch.
void record(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const size_t room = sizeof transcript_text - transcript_length;
  const int written = vsnprintf(transcript_text + transcript_length, room, format, arguments);
  va_end(arguments);
  if (written > 0) transcript_length += (size_t)written < room ? (size_t)written : room - 1;
}

}  // namespace

const char* transcript() { return transcript_text; }

void clear_transcript() {
  transcript_length = 0;
  transcript_text[0] = '\0';
}

extern "C" {

ZT_HOST_EXPORT ztGetVersionOfCorvaneZT_function ztGetVersionOfCorvaneZT;
ZT_HOST_EXPORT ztMessageBox_function ztMessageBox;
ZT_HOST_EXPORT ztShowLogTab_function ztShowLogTab;
ZT_HOST_EXPORT ztLogText_function ztLogText;
ZT_HOST_EXPORT ztGetStringParameter_function ztGetStringParameter;
ZT_HOST_EXPORT ztSetStringParameter_function ztSetStringParameter;
ZT_HOST_EXPORT ztSetIntParameter_function ztSetIntParameter;
ZT_HOST_EXPORT ztGetOpenFileName_function ztGetOpenFileName;

void ztGetVersionOfCorvaneZT(int* major, int* minor, int* sub_minor) {
  *major = host_script.version[0];
  *minor = host_script.version[1];
  *sub_minor = host_script.version[2];
}

void ztMessageBox(const char* text) { record("message \"%s\"\n", text); }

void ztShowLogTab() { record("show log\n"); }

void ztLogText(const char* text) { record("log \"%s\"\n", text); }

void ztGetStringParameter(const char* name, char* buffer) {
  const char* value = "";
  if (strcmp(name, "Command") == 0)
    value = host_script.command;
  else if (strcmp(name, "FileType") == 0)
    value = host_script.file_type;
  else
    record("get %s\n", name);
  snprintf(buffer, zt_parameter_text_capacity, "%s", value);
}

void ztSetStringParameter(const char* name, const char* text) { record("set %s \"%s\"\n", name, text); }

void ztSetIntParameter(const char* name, int value) { record("set %s %d\n", name, value); }

int ztGetOpenFileName(const char* caption, const char* initial, const char* filter, char* result) {
  record("dialog \"%s\" \"%s\" \"%s\"\n", caption, initial, filter);
  snprintf(result, zt_file_name_capacity, "%s", host_script.dialog_path);
  return host_script.dialog_result;
}
}
