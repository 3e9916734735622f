// A plugin module loaded from its file, as a CorvaneZT host loads it, with the functions it
// exports by name.
#pragma once

#include <string>
#include <vector>

#include "plugin/module_exports.h"

namespace devhost {

class PluginModule {
 public:
  // Loads the module; throws std::runtime_error when it cannot be loaded or lacks one of
  // the seven exports.
  explicit PluginModule(const std::string& path);
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  using ExportedFunction = void (*)();

  // The module's export of that name, or null.
  ExportedFunction find(const char* name) const;

  struct IdentificationText {
    const char* export_name;
    plugin_text_function* function;
  };

  createPlugin_function* create_plugin;
  std::vector<IdentificationText> identification;

 private:
  ExportedFunction require(const char* name) const;

  std::string path_;
  void* handle_;
};

}  // namespace devhost
