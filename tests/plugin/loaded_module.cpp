#include "loaded_module.h"

#include <stdexcept>

const devhost::PluginModule& loaded_module() {
  static const devhost::PluginModule module(LOTWRIGHT_MODULE_PATH);
  return module;
}

std::unique_ptr<CNZTPluginInterface> create_plugin() {
  CNZTPluginInterface* plugin = loaded_module().create_plugin();
  if (plugin == nullptr) throw std::runtime_error("createPlugin returned null");
  return std::unique_ptr<CNZTPluginInterface>(plugin);
}
