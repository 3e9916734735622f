#include "host/session.h"

#include <istream>
#include <ostream>
#include <utility>

#include "plugin/CNZTPluginInterface.h"

namespace devhost {

namespace {

// What one line says, before it is placed among the others.
struct SessionLine {
  enum class Kind { nothing, set, run, answer };
  Kind kind = Kind::nothing;
  std::string name;
  std::string value;
  DialogAnswer answer;
};

// A line's fault, without its place in the session.
struct LineFault {
  std::string reason;
};

// The first word of the text, and what follows the single space after it.
std::pair<std::string, std::string> split_word(const std::string& text) {
  const auto space = text.find(' ');
  if (space == std::string::npos) return {text, ""};
  return {text.substr(0, space), text.substr(space + 1)};
}

// The line without indentation and without the carriage return of a Windows line end.
std::string trimmed(std::string text) {
  if (!text.empty() && text.back() == '\r') text.pop_back();
  const auto start = text.find_first_not_of(" \t");
  return start == std::string::npos ? "" : text.substr(start);
}

SessionLine parse_line(const std::string& text) {
  if (text.empty() || text[0] == '#') return {};

  const auto [keyword, rest] = split_word(text);
  if (keyword == "set") {
    const auto [name, value] = split_word(rest);
    if (name.empty()) throw LineFault{"set needs a parameter name"};
    return {SessionLine::Kind::set, name, value, {}};
  }
  if (keyword == "run") return {SessionLine::Kind::run, "", rest, {}};
  if (keyword == "choose") {
    if (rest.empty()) throw LineFault{"choose needs a path"};
    return {SessionLine::Kind::answer, "", "", {1, rest}};
  }
  if (keyword == "cancel" && rest.empty()) return {SessionLine::Kind::answer, "", "", {0, ""}};
  throw LineFault{"not understood"};
}

SessionStep make_step(const SessionLine& parsed, int line, const std::string& text) {
  const auto kind = parsed.kind == SessionLine::Kind::set ? SessionStep::Kind::set : SessionStep::Kind::run;
  return {kind, line, text, parsed.name, parsed.value, {}};
}

// A long text is echoed as its first characters and its length.
std::string shortened(const std::string& text) {
  constexpr std::size_t shown = 60;
  if (text.size() <= shown) return text;
  return text.substr(0, shown) + "... (" + std::to_string(text.size()) + " characters)";
}

void play_run(const SessionStep& step, Host& host, CNZTPluginInterface& plugin) {
  if (!host.set_text_parameter("Command", step.value)) {
    // The plugin would otherwise run the previous command again.
    host.terminal() << "  the command is not run\n";
    return;
  }
  for (const DialogAnswer& answer : step.answers) host.prepare_answer(answer);
  const bool handled = plugin.execute();
  host.terminal() << "  execute returned " << (handled ? "true" : "false") << '\n';
  host.print_parameters();
  if (host.prepared_answers() > 0) {
    host.terminal() << "  note: " << host.prepared_answers() << " answer(s) left over: no dialog asked for them\n";
    host.discard_prepared_answers();
  }
}

void play_step(const SessionStep& step, Host& host, CNZTPluginInterface& plugin) {
  // The value (a set line's text, a run line's command) ends the line.
  const std::string keyword_and_name = step.text.substr(0, step.text.size() - step.value.size());
  host.terminal() << "\n[line " << step.line << "] " << keyword_and_name << shortened(step.value) << '\n';
  if (step.kind == SessionStep::Kind::set)
    host.set_text_parameter(step.name, step.value);
  else
    play_run(step, host, plugin);
}

const char* const interactive_help =
    "  session lines:\n"
    "    set NAME TEXT   store TEXT (may be empty) under the named parameter NAME\n"
    "    run COMMAND     store COMMAND under \"Command\" and call execute\n"
    "    choose PATH     answer the open-file dialog that waits with PATH\n"
    "    cancel          cancel the open-file dialog that waits\n"
    "    help            show this list\n"
    "    quit            destroy the plugin object and end (as the end of the input does)\n"
    "  A dialog that waits also takes the path alone, and an empty line cancels it.\n";

}  // namespace

SessionError::SessionError(const std::string& source, int line, const std::string& text, const std::string& reason)
    : std::runtime_error(source + ":" + std::to_string(line) + ": " + reason + ": \"" + text + "\"") {}

std::vector<SessionStep> parse_session(std::istream& input, const std::string& source) {
  std::vector<SessionStep> steps;
  bool answers_may_follow = false;
  std::string raw;
  for (int line = 1; std::getline(input, raw); ++line) {
    const std::string text = trimmed(raw);
    try {
      const SessionLine parsed = parse_line(text);
      if (parsed.kind == SessionLine::Kind::nothing) continue;
      if (parsed.kind != SessionLine::Kind::answer) {
        steps.push_back(make_step(parsed, line, text));
        answers_may_follow = parsed.kind == SessionLine::Kind::run;
      } else if (answers_may_follow) {
        steps.back().answers.push_back(parsed.answer);
      } else {
        throw LineFault{"an answer must follow a run line"};
      }
    } catch (const LineFault& fault) {
      throw SessionError(source, line, text, fault.reason);
    }
  }
  return steps;
}

void play_session(const std::vector<SessionStep>& steps, Host& host, CNZTPluginInterface& plugin) {
  for (const SessionStep& step : steps) play_step(step, host, plugin);
}

void play_interactively(Host& host, CNZTPluginInterface& plugin) {
  std::string raw;
  for (int line = 1;; ++line) {
    host.terminal() << "\n> " << std::flush;
    if (!std::getline(host.keyboard(), raw)) return;
    const std::string text = trimmed(raw);
    if (text == "quit") return;
    if (text == "help") {
      host.terminal() << interactive_help;
      continue;
    }
    try {
      const SessionLine parsed = parse_line(text);
      if (parsed.kind == SessionLine::Kind::answer) throw LineFault{"no dialog is waiting for an answer"};
      if (parsed.kind != SessionLine::Kind::nothing) play_step(make_step(parsed, line, text), host, plugin);
    } catch (const LineFault& fault) {
      host.terminal() << "  " << fault.reason << ": \"" << shortened(text) << "\" (help lists the session lines)\n";
    }
  }
}

DialogAnswer read_dialog_answer(std::istream& keyboard, std::ostream& terminal) {
  for (;;) {
    terminal << "    answer (choose PATH, cancel, or the path): " << std::flush;
    std::string raw;
    if (!std::getline(keyboard, raw)) {
      terminal << "(no input)\n";
      return {};
    }
    const std::string text = trimmed(raw);
    if (text.empty()) return {};
    const std::string keyword = split_word(text).first;
    const bool answer_line = keyword == "choose" || keyword == "cancel";
    const bool other_session_line =
        keyword == "set" || keyword == "run" || keyword == "help" || keyword == "quit" || text[0] == '#';
    if (!answer_line && !other_session_line) return {1, text};
    std::string refusal = "a dialog is waiting: answer it with choose PATH, cancel, or the path";
    if (answer_line) {
      try {
        return parse_line(text).answer;
      } catch (const LineFault& fault) {
        refusal = fault.reason;
      }
    }
    terminal << "    " << refusal << ": \"" << shortened(text) << "\"\n";
  }
}

}  // namespace devhost
