// The development host: what a CorvaneZT host keeps and shows for a plugin, on a terminal.
// The exported zt functions (host_exports.cpp) serve the Host installed with serve().
#pragma once

#include <cstddef>
#include <deque>
#include <iosfwd>
#include <string>
#include <vector>

#include "host/parameter_store.h"

namespace devhost {

struct HostVersion {
  int major = 2;
  int minor = 4;
  int sub_minor = 1;
};

// What an open-file dialog returns (1 when a file was chosen) and the path it writes to the
// result buffer, if the path fits.
struct DialogAnswer {
  int result = 0;
  std::string path;
};

// What the plugin passed to an open-file dialog.
struct DialogRequest {
  std::string caption;
  std::string initial;
  std::string filter;
};

class Host {
 public:
  // The host prints to the terminal and, when a dialog has no prepared answer, reads the
  // answer from the keyboard (read_dialog_answer in session.h).
  Host(std::ostream& terminal, std::istream& keyboard);

  HostVersion version;
  ParameterStore parameters;
  bool log_tab_shown = false;
  std::vector<std::string> log;        // in order, as the plugin wrote it
  std::vector<std::string> messages;   // every message box shown
  std::vector<DialogRequest> dialogs;  // every open-file dialog shown

  // Answers for the next dialogs, in order.
  void prepare_answer(DialogAnswer answer);
  std::size_t prepared_answers() const { return answers_.size(); }
  void discard_prepared_answers() { answers_.clear(); }

  // Sets a text parameter as the wizard script does; a text too long is refused on the
  // terminal and leaves the parameter as it was.
  bool set_text_parameter(const std::string& name, const std::string& text);

  void print_parameters() const;
  std::ostream& terminal() const { return terminal_; }
  std::istream& keyboard() const { return keyboard_; }

  // The host functions, as the exported functions call them.
  void get_version(int* major, int* minor, int* sub_minor) const;
  void message_box(const char* text);
  void show_log_tab();
  void log_text(const char* text);
  void get_string_parameter(const char* name, char* buffer) const;
  void set_string_parameter(const char* name, const char* text);
  void set_int_parameter(const char* name, int value);
  int open_file_dialog(const char* caption, const char* initial, const char* filter, char* result);

  // A host function this host does not provide: logs the call, returns 0.
  int unprovided_call(const char* name);

 private:
  DialogAnswer next_answer();
  void print_answer(const DialogAnswer& answer) const;

  std::ostream& terminal_;
  std::istream& keyboard_;
  std::deque<DialogAnswer> answers_;
};

// From now on the exported host functions serve this host.
void serve(Host& host);
Host& served_host();

}  // namespace devhost
