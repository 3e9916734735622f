#include "plugin/module_exports.h"

#include "plugin/lotwright.h"

namespace {
const char* plugin_description = "Plugin to process multiple Corvane files<br>";
}

CNZTPluginInterface* createPlugin() { return new lotwright; }

const char* getPluginName() { return "lotwrightwizard (v1.5)"; }

const char* getPluginDescription() { return plugin_description; }

const char* getAuthor() { return "<i>Pellandry</i>, Tellwick"; }

const char* getHelpFile() { return ""; }

const char* getPluginVersion() { return "1.5"; }

const char* getGUIScript() { return "lotwrightwizard_v15.js"; }
