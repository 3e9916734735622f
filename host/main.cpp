// The development host CorvaneZT.exe: loads a plugin module and drives it as a CorvaneZT host
// does, with named parameters, a log, message boxes and open-file dialogs on the terminal.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <optional>

#include "host/command_line.h"
#include "host/host.h"
#include "host/plugin_module.h"
#include "host/session.h"
#include "plugin/CNZTPluginInterface.h"

namespace {

using namespace devhost;

std::vector<SessionStep> read_session(const std::string& path) {
  const auto cannot_read = [&path](const std::string& reason) {
    return std::runtime_error("cannot read the session " + path + ": " + reason);
  };
  // A directory opens as a stream on some systems and then reads as empty.
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) throw cannot_read("it is a directory");
  std::ifstream file(path);
  if (!file) throw cannot_read(std::strerror(errno));
  std::vector<SessionStep> steps = parse_session(file, path);
  if (file.bad()) throw cannot_read("read error");
  return steps;
}

void print_identification(const PluginModule& module, std::ostream& terminal) {
  for (const auto& text : module.identification)
    terminal << "  " << std::left << std::setw(22) << text.export_name << '"' << text.function() << "\"\n";
}

// Creates, starts, runs and destroys the plugin object. Returns whether initPlugin accepted
// the host.
bool drive_plugin(const PluginModule& module, Host& host, const std::optional<std::vector<SessionStep>>& session) {
  std::ostream& terminal = host.terminal();
  CNZTPluginInterface* plugin = module.create_plugin();
  if (plugin == nullptr) {
    terminal << "createPlugin returned null\n";
    return false;
  }
  terminal << "\ninitPlugin\n";
  const bool accepted = plugin->initPlugin();
  terminal << "initPlugin returned " << (accepted ? "true" : "false") << '\n';
  if (accepted && session)
    play_session(*session, host, *plugin);
  else if (accepted)
    play_interactively(host, *plugin);
  terminal << "\ndestroying the plugin object\n";
  delete plugin;
  return accepted;
}

int run(const CommandLine& command_line) {
  std::optional<std::vector<SessionStep>> session;
  if (!command_line.interactive) session = read_session(command_line.session_path);

  Host host(std::cout, std::cin);
  host.version = command_line.version;
  serve(host);
  std::cout << "CorvaneZT development host, reporting version " << host.version.major << '.' << host.version.minor
            << '.' << host.version.sub_minor << "\nmodule " << command_line.module_path << '\n';
  const PluginModule module(command_line.module_path);
  print_identification(module, std::cout);
  return drive_plugin(module, host, session) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const CommandLine command_line = parse_command_line(argc, argv);
    if (command_line.help) {
      std::cout << usage;
      return 0;
    }
    return run(command_line);
  } catch (const std::invalid_argument& error) {
    std::cerr << "CorvaneZT.exe: " << error.what() << '\n' << usage;
    return 2;
  } catch (const std::runtime_error& error) {
    std::cerr << "CorvaneZT.exe: " << error.what() << '\n';
    return 1;
  }
}
