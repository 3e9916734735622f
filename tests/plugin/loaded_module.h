// The plugin module under test, loaded as a host loads it. Every test program here is the host
// process that the plugin binds to.
#pragma once

#include <memory>

#include "host/plugin_module.h"

// The module built with the tests, loaded once per test program.
const devhost::PluginModule& loaded_module();

// A new plugin object from the module's createPlugin, destroyed through its virtual destructor.
std::unique_ptr<CNZTPluginInterface> create_plugin();
