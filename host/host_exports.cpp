// The 184 functions of a CorvaneZT host, exported by name from the development host's
// executable. The eight that the plugin calls are served by the Host; every other one logs its
// call and returns 0.
#include "host/host.h"
#include "host/host_export.h"
#include "plugin/host_function_list.h"
#include "plugin/host_functions.h"

using devhost::served_host;

extern "C" {

// Declared with the contract's types, so that the definitions below must match them.
ZT_HOST_EXPORT ztGetVersionOfCorvaneZT_function ztGetVersionOfCorvaneZT;
ZT_HOST_EXPORT ztMessageBox_function ztMessageBox;
ZT_HOST_EXPORT ztShowLogTab_function ztShowLogTab;
ZT_HOST_EXPORT ztLogText_function ztLogText;
ZT_HOST_EXPORT ztGetStringParameter_function ztGetStringParameter;
ZT_HOST_EXPORT ztSetStringParameter_function ztSetStringParameter;
ZT_HOST_EXPORT ztSetIntParameter_function ztSetIntParameter;
ZT_HOST_EXPORT ztGetOpenFileName_function ztGetOpenFileName;

void ztGetVersionOfCorvaneZT(int* major, int* minor, int* sub_minor) {
  served_host().get_version(major, minor, sub_minor);
}

void ztMessageBox(const char* text) { served_host().message_box(text); }

void ztShowLogTab() { served_host().show_log_tab(); }

void ztLogText(const char* text) { served_host().log_text(text); }

void ztGetStringParameter(const char* name, char* buffer) { served_host().get_string_parameter(name, buffer); }

void ztSetStringParameter(const char* name, const char* text) { served_host().set_string_parameter(name, text); }

void ztSetIntParameter(const char* name, int value) { served_host().set_int_parameter(name, value); }

int ztGetOpenFileName(const char* caption, const char* initial, const char* filter, char* result) {
  return served_host().open_file_dialog(caption, initial, filter, result);
}

#define ZT_PROVIDED(name)
#define ZT_NOT_PROVIDED(name) \
  ZT_HOST_EXPORT int name() { return served_host().unprovided_call(#name); }
ZT_HOST_FUNCTIONS(ZT_PROVIDED, ZT_NOT_PROVIDED)
#undef ZT_PROVIDED
#undef ZT_NOT_PROVIDED
}
