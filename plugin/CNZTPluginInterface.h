// The interface through which a CorvaneZT host drives a plugin object. The host calls through
// the virtual table, so the order of the virtual operations is part of the contract: the
// destructor, then execute, then initPlugin.
#pragma once

#include "plugin/plugin_export.h"

class LOTWRIGHT_EXPORT CNZTPluginInterface {
 public:
  CNZTPluginInterface();
  CNZTPluginInterface(const CNZTPluginInterface& other);
  CNZTPluginInterface& operator=(const CNZTPluginInterface& other);

  // The host destroys the object through this destructor when it is done with it, so that
  // the module that made the object also frees it.
  virtual ~CNZTPluginInterface();

  // Called by the host once per command, only after initPlugin returned true. Returns true
  // when the command was handled (an unknown command counts as handled).
  virtual bool execute() = 0;

  // Called by the host once, right after createPlugin. Returns false when the plugin cannot
  // work in this host; the host must then not call execute.
  virtual bool initPlugin() = 0;
};
