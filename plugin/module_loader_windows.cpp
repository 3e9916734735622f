#include "plugin/module_loader.h"

#include <windows.h>

ModuleHandle find_loaded_module(const char* file_name) { return GetModuleHandleA(file_name); }

HostFunction find_module_function(ModuleHandle module, const char* name) {
  return reinterpret_cast<HostFunction>(GetProcAddress(static_cast<HMODULE>(module), name));
}
