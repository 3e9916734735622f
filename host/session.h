// Wizard sessions: what the wizard script would do, written as lines for the development host
// to play (the format is described in README.md).
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/host.h"

class CNZTPluginInterface;

namespace devhost {

// One line of a session that does something.
struct SessionStep {
  enum class Kind { set, run };
  Kind kind;
  int line;
  std::string text;                   // the line as written
  std::string name;                   // set: the parameter
  std::string value;                  // set: the text; run: the command
  std::vector<DialogAnswer> answers;  // run: the answer lines that follow it
};

// A line that the host does not understand.
class SessionError : public std::runtime_error {
 public:
  SessionError(const std::string& source, int line, const std::string& text, const std::string& reason);
};

// Reads a whole session; throws SessionError at the first line not understood.
std::vector<SessionStep> parse_session(std::istream& input, const std::string& source);

void play_session(const std::vector<SessionStep>& steps, Host& host, CNZTPluginInterface& plugin);

// Reads lines from the host's keyboard and plays each at once, until "quit" or the end of the
// input; "help" lists the session lines. A line not understood is reported and skipped.
void play_interactively(Host& host, CNZTPluginInterface& plugin);

// The answer typed for a dialog that is waiting: "choose PATH" or "cancel" as in a session, an
// empty line or the end of the input cancels, and any other line that is not a session line is
// the path itself. A session line of another kind is refused and the question asked again.
DialogAnswer read_dialog_answer(std::istream& keyboard, std::ostream& terminal);

}  // namespace devhost
