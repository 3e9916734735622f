// The plugin object of the lotwright wizard. It keeps no data of its own: what it needs of the
// host is in the module-wide host API table, and what the wizard needs afterwards is in the
// host's named parameters.
#pragma once

#include <stddef.h>

#include "plugin/CNZTPluginInterface.h"

class LOTWRIGHT_EXPORT lotwright : public CNZTPluginInterface {
 public:
  lotwright();

  // Writes "lotwrightplugin finished!" to the host's log, when the host has a log to write to.
  ~lotwright() override;

  // Runs the wizard command stored in the named parameter "Command" (see README for the
  // commands and their parameters). Returns true, even for an unknown command or a cancelled
  // dialog; returns false, touching no parameter, when the host was not accepted by
  // initPlugin or lacks one of the functions the commands use.
  bool execute() override;

  // Binds the host's functions, refuses hosts older than 2.4.1 with a message box, then shows
  // the host's log and writes "Running lotwrightwizard..." to it. Returns false when the
  // process is not CorvaneZT.exe, the host is too old, or it lacks the functions needed here.
  bool initPlugin() override;

  // The object is allocated and freed by the module itself, whoever deletes it. A failed
  // allocation makes the new-expression yield null instead of throwing.
  static void* operator new(size_t size) noexcept;
  static void operator delete(void* object) noexcept;
};
