// The functions the module exports under plain, undecorated names. A host finds them by name
// after loading the module; the texts need no set-up, may be read at any time and live as long
// as the module.
#pragma once

#include "plugin/CNZTPluginInterface.h"

extern "C" {

// Creates the plugin object and hands it to the caller, who destroys it through its virtual
// destructor. Null when the object cannot be allocated.
LOTWRIGHT_EXPORT CNZTPluginInterface* createPlugin();

// "lotwrightwizard (v1.5)"
LOTWRIGHT_EXPORT const char* getPluginName();

// "Plugin to process multiple Corvane files<br>" (HTML mark-up that the host renders)
LOTWRIGHT_EXPORT const char* getPluginDescription();

// "<i>Pellandry</i>, Tellwick" (HTML mark-up that the host renders)
LOTWRIGHT_EXPORT const char* getAuthor();

// An empty text: the plugin has no help file.
LOTWRIGHT_EXPORT const char* getHelpFile();

// "1.5"
LOTWRIGHT_EXPORT const char* getPluginVersion();

// "lotwrightwizard_v15.js", the wizard script that the host runs and that issues the commands.
LOTWRIGHT_EXPORT const char* getGUIScript();
}

// The types under which a host calls the exports it found by name.
typedef CNZTPluginInterface* createPlugin_function();
typedef const char* plugin_text_function();
