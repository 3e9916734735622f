// The contract between a CorvaneZT host and the plugin: the types of the eight host functions
// the plugin calls, and the buffer sizes both sides rely on. The plugin casts its bound slots to
// these types; the development host declares its exports with them, so a mismatch between the
// two does not compile.
//
// Texts are zero-terminated 8-bit strings; integers are signed 32-bit.
#pragma once

extern "C" {

// Fills the three integers with the running host's version.
typedef void ztGetVersionOfCorvaneZT_function(int* major, int* minor, int* sub_minor);

// Shows the text to the user.
typedef void ztMessageBox_function(const char* text);

// Brings the host's log into view.
typedef void ztShowLogTab_function();

// Appends the text to the host's log.
typedef void ztLogText_function(const char* text);

// Copies the named parameter's current text, with its terminating zero, into the buffer. The
// buffer's size is not passed: the host stores no text longer than fits
// zt_parameter_text_capacity bytes.
typedef void ztGetStringParameter_function(const char* name, char* buffer);

// The named parameter holds the text afterwards; the host keeps its own copy.
typedef void ztSetStringParameter_function(const char* name, const char* text);

// The named parameter holds the integer afterwards.
typedef void ztSetIntParameter_function(const char* name, int value);

// Shows an open-file dialog with the caption and the file-type filter. Returns 1 exactly when
// the user chose a file; the chosen path then stands, zero-terminated, in the result buffer of
// zt_file_name_capacity bytes. The second text is passed empty by this plugin.
typedef int ztGetOpenFileName_function(const char* caption, const char* initial, const char* filter, char* result);
}

// Bytes a host may write for one string parameter, terminating zero included.
constexpr int zt_parameter_text_capacity = 4096;

// Bytes of the open-file dialog's result buffer, terminating zero included.
constexpr int zt_file_name_capacity = 256;
