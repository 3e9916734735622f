#include "host/host.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <ostream>
#include <utility>

#include "host/session.h"

namespace devhost {

namespace {

Host* served = nullptr;

std::string quoted(const std::string& text) { return '"' + text + '"'; }

std::string value_text(const ParameterStore::Value& value) {
  if (const int* number = std::get_if<int>(&value)) return std::to_string(*number);
  return quoted(std::get<std::string>(value));
}

}  // namespace

void serve(Host& host) { served = &host; }

Host& served_host() { return *served; }

Host::Host(std::ostream& terminal, std::istream& keyboard) : terminal_(terminal), keyboard_(keyboard) {}

void Host::prepare_answer(DialogAnswer answer) { answers_.push_back(std::move(answer)); }

bool Host::set_text_parameter(const std::string& name, const std::string& text) {
  if (parameters.set_text(name, text)) return true;
  terminal_ << "  [refused] parameter " << quoted(name) << " keeps its value: the new text has " << text.size()
            << " characters, a plugin's buffer holds at most " << ParameterStore::max_text_length << '\n';
  return false;
}

void Host::print_parameters() const {
  terminal_ << "  parameters:\n";
  std::size_t width = 0;
  for (const auto& [name, value] : parameters.values()) width = std::max(width, name.size());
  for (const auto& [name, value] : parameters.values())
    terminal_ << "    " << name << std::string(width - name.size(), ' ') << " = " << value_text(value) << '\n';
}

void Host::get_version(int* major, int* minor, int* sub_minor) const {
  *major = version.major;
  *minor = version.minor;
  *sub_minor = version.sub_minor;
}

void Host::message_box(const char* text) {
  messages.emplace_back(text);
  terminal_ << "  [message box] " << text << '\n';
}

void Host::show_log_tab() {
  log_tab_shown = true;
  terminal_ << "  [log tab shown]\n";
}

void Host::log_text(const char* text) {
  log.emplace_back(text);
  terminal_ << "  [log] " << text << '\n';
}

void Host::get_string_parameter(const char* name, char* buffer) const {
  // The store holds no text longer than a plugin's buffer, so the copy fits.
  const std::string text = parameters.text(name);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
}

void Host::set_string_parameter(const char* name, const char* text) { set_text_parameter(name, text); }

void Host::set_int_parameter(const char* name, int value) { parameters.set_integer(name, value); }

int Host::open_file_dialog(const char* caption, const char* initial, const char* filter, char* result) {
  dialogs.push_back({caption, initial, filter});
  terminal_ << "  [open-file dialog] " << caption << "\n    filter: " << (*filter ? filter : "(none)") << '\n';
  DialogAnswer answer = next_answer();
  if (answer.path.size() >= static_cast<std::size_t>(zt_file_name_capacity)) {
    // Cutting the path short would hand the plugin a file that was never chosen.
    terminal_ << "    refused: the path has " << answer.path.size() << " characters, the result buffer holds at most "
              << zt_file_name_capacity - 1 << '\n';
    return 0;
  }
  std::memcpy(result, answer.path.c_str(), answer.path.size() + 1);
  print_answer(answer);
  return answer.result;
}

int Host::unprovided_call(const char* name) {
  log_text((std::string(name) + " called: not provided by the development host").c_str());
  return 0;
}

DialogAnswer Host::next_answer() {
  if (answers_.empty()) return read_dialog_answer(keyboard_, terminal_);
  DialogAnswer answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

void Host::print_answer(const DialogAnswer& answer) const {
  if (answer.result == 1)
    terminal_ << "    answer: " << answer.path << '\n';
  else if (answer.result == 0)
    terminal_ << "    answer: cancelled\n";
  else
    terminal_ << "    answer: result " << answer.result << '\n';
}

}  // namespace devhost
